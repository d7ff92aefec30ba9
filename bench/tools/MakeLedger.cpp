// Writes a synthetic ledger ending today (bench/LedgerGenerator.h: written through the app's
// own stores) into DIR/voice.sqlite, for browser tests that need a shop-sized catalogue:
//
//   mk_ledger DIR [--categories N] [--products N] [--partners N] [--orders N] [--days N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/LedgerGenerator.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "storage/SDBManager.h"

int main(int argc, char** argv) {
    LedgerParams params;
    const struct {
        const char* flag;
        int* value;
    } flags[] = {{"--categories", &params.categories}, {"--products", &params.products},
                 {"--partners", &params.partners},     {"--orders", &params.orders},
                 {"--days", &params.days}};
    bool ok = argc >= 2;
    for (int i = 2; ok && i < argc; i += 2) {
        ok = false;
        for (const auto& f : flags) {
            if (i + 1 < argc && std::strcmp(argv[i], f.flag) == 0) {
                *f.value = std::atoi(argv[i + 1]);
                ok = *f.value > 0;
            }
        }
    }
    if (!ok) {
        std::fprintf(stderr,
                     "usage: mk_ledger DIR [--categories N] [--products N] [--partners N] "
                     "[--orders N] [--days N]\n");
        return 2;
    }
    Localisation::select("en");
    DocumentsDirectory::setPath(argv[1]);
    const auto today =
        ConstParameterAndMethod::parse(ConstParameterAndMethod::getTimeNow(), "yyyy/MM/dd");
    const bool written = today && LedgerGenerator(params).generate(*today);
    SDBManager::close();
    if (!written) std::fprintf(stderr, "mk_ledger: could not write the ledger in %s\n", argv[1]);
    return written ? 0 : 1;
}
