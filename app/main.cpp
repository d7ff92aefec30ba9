// marrowkeeper: starts the ledger and serves it to a browser on this machine only.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/AppDelegate.h"
#include "platform/BackgroundWork.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "storage/LedgerBackup.h"
#include "toolkit/Navigator.h"
#include "web/Server.h"

extern char** environ;

namespace {

struct CommandLine {
    AppDelegate::Options app;
    int port = 0;
    bool openBrowser = true;
    bool help = false;
    std::string backupTo;     // --backup-to FILE: a backup, then exit
    std::string restoreFrom;  // --restore-from FILE: a restore, then exit
};

const char* kUsage =
    "usage: marrowkeeper [--data-dir DIR] [--port N] [--lang CODE] [--no-browser]\n"
    "       marrowkeeper [--data-dir DIR] --backup-to FILE | --restore-from FILE\n"
    "  --data-dir DIR        where the ledger is kept (default ~/.local/share/marrowkeeper)\n"
    "  --port N              port on 127.0.0.1 to serve on (default 0: any free port)\n"
    "  --lang CODE           language of the texts (default: from the environment)\n"
    "  --no-browser          only print the address, do not open a browser\n"
    "  --backup-to FILE      write a checked copy of the ledger to FILE and exit (also while\n"
    "                        the app runs on the folder)\n"
    "  --restore-from FILE   replace the ledger by FILE, keeping the old one in Backups, and\n"
    "                        exit (not while the app runs on the folder)\n";

std::optional<CommandLine> parse(int argc, char** argv, std::string* error) {
    CommandLine cl;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasInlineValue = false;
        if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasInlineValue) return true;
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            cl.help = true;
        } else if (arg == "--no-browser" && !hasInlineValue) {
            cl.openBrowser = false;
        } else if (arg == "--data-dir") {
            if (!takeValue()) return std::nullopt;
            if (value.empty()) {
                *error = "--data-dir must not be empty";
                return std::nullopt;
            }
            cl.app.dataDir = value;
        } else if (arg == "--backup-to" || arg == "--restore-from") {
            if (!takeValue()) return std::nullopt;
            if (value.empty()) {
                *error = arg + " must not be empty";
                return std::nullopt;
            }
            (arg == "--backup-to" ? cl.backupTo : cl.restoreFrom) = value;
        } else if (arg == "--lang") {
            if (!takeValue()) return std::nullopt;
            cl.app.language = value;
        } else if (arg == "--port") {
            if (!takeValue()) return std::nullopt;
            int port = -1;
            auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
            if (ec != std::errc() || end != value.data() + value.size() || port < 0 ||
                port > 65535) {
                *error = "--port must be a number from 0 to 65535";
                return std::nullopt;
            }
            cl.port = port;
        } else {
            *error = "unknown argument " + std::string(argv[i]);
            return std::nullopt;
        }
    }
    if (!cl.backupTo.empty() && !cl.restoreFrom.empty()) {
        *error = "--backup-to and --restore-from go one at a time";
        return std::nullopt;
    }
    return cl;
}

// --backup-to and --restore-from; a restore may start a new data folder.
int backupOrRestore(const CommandLine& cl) {
    const std::string dir = DocumentsDirectory::resolve(
        cl.app.dataDir.empty() ? std::nullopt : std::optional(cl.app.dataDir));
    if (!cl.backupTo.empty()) return backupLedgerTo(dir, cl.backupTo, std::cerr);
    std::string why;
    if (!DocumentsDirectory::ensure(dir, &why)) {
        std::cerr << "marrowkeeper: cannot use the data folder " << dir << ": " << why << "\n";
        return 1;
    }
    return restoreLedgerFrom(dir, cl.restoreFrom, std::cerr);
}

// Opens the address in the desktop's browser when there is a desktop; never fatal.
void openInBrowser(const std::string& url) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland)) return;
    if (access("/usr/bin/xdg-open", X_OK) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Keep our stdout to the address line alone.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string program = "/usr/bin/xdg-open";
    char* args[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, args, environ) == 0) {
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
    posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    auto cl = parse(argc, argv, &error);
    if (!cl) {
        std::cerr << "marrowkeeper: " << error << "\n" << kUsage;
        return 2;
    }
    if (cl->help) {
        std::cout << kUsage;
        return 0;
    }
    if (!cl->backupTo.empty() || !cl->restoreFrom.empty()) return backupOrRestore(*cl);
    std::string runningAddress;
    if (!AppDelegate::prepareEnvironment(cl->app, &error, &runningAddress)) {
        if (!runningAddress.empty()) {
            // The folder is already served: lead the user there instead of to a second copy.
            std::cout << runningAddress << std::endl;
            if (cl->openBrowser) openInBrowser(runningAddress);
            return 0;
        }
        std::cerr << "marrowkeeper: " << error << "\n";
        return 1;
    }

    // Every thread started from here on inherits the blocked signals; main waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    AppDelegate app;
    app.application_didFinishLaunchingWithOptions();
    app.startAutomaticBackup();  // off the app's thread: the dashboard is not held up
    Navigator::setShared(&app.navigator());

    std::mutex appMutex;
    web::WebServer server(app.navigator(), appMutex);
    if (!server.bind(cl->port)) {
        std::cerr << "marrowkeeper: cannot listen on 127.0.0.1:" << cl->port << "\n";
        AppDelegate::endInstance();
        return 1;
    }
    server.start();
    std::string url = server.startURL();
    AppDelegate::publishAddress(url);
    // The address stays the first line: scripts and tests read it from there.
    std::cout << url << "\n"
              << KL("KLDataFolderIs") << " " << DocumentsDirectory::path() << "\n"
              << KL("KLCtrlCStops") << std::endl;
    if (cl->openBrowser) openInBrowser(url);

    // SIGINT and SIGTERM end the program cleanly: every answered write is already stored.
    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    // A mail on its way gives up and a backup running is finished, before the folder is
    // released; their outcomes have nobody left to show them to.
    BackgroundWork::stopAll();
    AppDelegate::endInstance();
    std::cerr << "marrowkeeper: stopped\n";
    return 0;
}
