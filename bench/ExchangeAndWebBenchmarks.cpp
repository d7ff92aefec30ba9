// The orders export: the CSV of every order beside a plain SELECT * written to a file, the
// workbook beside the same rows handed straight to the workbook writer, and the whole export
// from the More screen beside both; and one event's round trip through the web layer beside
// a static GET from the same server.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "app/MoreViewController.h"
#include "bench/BenchContext.h"
#include "exchange/WorkbookExport.h"
#include "platform/BackgroundWork.h"
#include "platform/DocumentsDirectory.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"
#include "web/Server.h"

namespace {

Navigator& nav() {
    return BenchContext::get().app->navigator();
}

// The More screen's CSV alone, as its export row makes it: the orders read, the file written,
// read back and compared.
void BM_export_csv(benchmark::State& state) {
    const std::string path = CSVExport::filePath();
    nav().pushViewController(createScreen("MoreViewController"), false);
    auto* more = dynamic_cast<MoreViewController*>(nav().top());
    for (auto _ : state) {
        const auto meant =
            more->createFile(path) ? more->exportCSV(path, CSVExport::headerLine()) : std::nullopt;
        if (!meant || CSVExport::readBack(path) != meant) state.SkipWithError("CSV export failed");
    }
    nav().popViewControllerAnimated(false);
    nav().drain();
}

// The workbook alone: read and written.
void BM_workbook_app(benchmark::State& state) {
    for (auto _ : state) {
        if (!WorkbookExport::write(WorkbookExport::filePath()))
            state.SkipWithError("workbook failed");
    }
}

// The workbook writer's own cost: the same rows as plain SELECTs, each value handed to it
// as it comes (numbers for the number columns, texts for the rest), no formats or checks.
void BM_workbook_limit(benchmark::State& state) {
    sqlite3* db = BenchContext::get().handle();
    const std::string path = DocumentsDirectory::file("limit.xlsx");
    struct Query {
        const char* sql;
        uint32_t numbers;  // bit per column
    };
    const Query queries[] = {
        {"SELECT orderSalesAndPurchaseType, orderName, orderTotalCounts, orderTotalEntrys, "
         "orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes, "
         "orderSupplierOrCustomerName, minutesTime FROM SUserCommodity ORDER BY uid DESC",
         0b11100},
        {"SELECT o.orderName, o.recordeDateTime, l.orderItemProductName, l.orderItemModel, "
         "l.orderItemUnit, l.orderItemQuantity, l.orderItemUnitPrice, l.orderItemTotalAmount "
         "FROM SUserCommodity o JOIN SUserCommodityOrder l ON l.orderItemPrimaryKeyDate = "
         "o.orderPrimaryKeyDate ORDER BY o.uid DESC, l.orderItemUid",
         0b11100000},
    };
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
        for (const Query& q : queries) {
            lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, q.sql, -1, &st, nullptr);
            const int n = sqlite3_column_count(st);
            for (lxw_row_t row = 0; sqlite3_step(st) == SQLITE_ROW; ++row) {
                for (int c = 0; c < n; ++c) {
                    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                    if (!t) continue;
                    const auto col = static_cast<lxw_col_t>(c);
                    if (q.numbers >> c & 1)
                        worksheet_write_number(ws, row, col, std::strtod(t, nullptr), nullptr);
                    else
                        worksheet_write_string(ws, row, col, t, nullptr);
                }
            }
            sqlite3_finalize(st);
        }
        if (workbook_close(wb) != LXW_NO_ERROR) state.SkipWithError("workbook failed");
    }
    std::remove(path.c_str());
}

// The whole export from the More screen: the CSV written, read back and compared, the
// workbook written and read back, the mail prepared with both.
void BM_export_app(benchmark::State& state) {
    for (auto _ : state) {
        nav().pushViewController(createScreen("MoreViewController"), false);
        nav().top()->perform("CSVEcportEvent");
        BackgroundWork::waitUntilEnded();
        BackgroundWork::deliver();
        state.PauseTiming();
        nav().popViewControllerAnimated(false);
        nav().drain();
        state.ResumeTiming();
    }
}

void BM_export_limit(benchmark::State& state) {
    sqlite3* db = BenchContext::get().handle();
    const std::string path = DocumentsDirectory::file("limit.csv");
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM SUserCommodity ORDER BY uid DESC", -1, &st, nullptr);
        const int n = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < n; ++c) {
                if (c) std::fputc(',', f);
                const unsigned char* t = sqlite3_column_text(st, c);
                if (t) std::fwrite(t, 1, static_cast<size_t>(sqlite3_column_bytes(st, c)), f);
            }
            std::fputc('\n', f);
        }
        sqlite3_finalize(st);
        std::fclose(f);
    }
    std::remove(path.c_str());
}

// The server on a loopback port and one kept-alive connection to it. The requests are
// written by hand: only the web layer itself speaks HTTP through a library.
struct WebFixture {
    std::mutex mutex;
    web::WebServer server{nav(), mutex};
    int fd = -1;
    std::string host;
    bool ok = false;

    WebFixture() {
        if (!server.bind(0) || !server.start()) return;
        host = "127.0.0.1:" + std::to_string(server.port());
        ok = connect();
    }
    // The server ends a kept-alive connection after a few requests, as browsers expect;
    // the client then connects again, as they do.
    bool connect() {
        if (fd >= 0) ::close(fd);
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(server.port()));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~WebFixture() {
        if (fd >= 0) ::close(fd);
        server.stop();
    }
    std::string request(const std::string& method, const std::string& path,
                        const std::string& body = "") {
        std::string r = method + " " + path + "?token=" + server.token() +
                        " HTTP/1.1\r\nHost: " + host + "\r\nConnection: keep-alive\r\n";
        if (!body.empty()) {
            r +=
                "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\n";
        }
        r += "\r\n" + body;
        return r;
    }
    // Sends one request and reads the whole answer; returns its status (0 on failure).
    int roundTrip(const std::string& req) {
        int status = once(req);
        if (status == 0 && connect()) status = once(req);
        return status;
    }
    int once(const std::string& req) {
        if (::send(fd, req.data(), req.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(req.size()))
            return 0;
        std::string in;
        char buf[65536];
        size_t headerEnd = std::string::npos;
        size_t want = 0;
        for (;;) {
            ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return 0;
            in.append(buf, static_cast<size_t>(n));
            if (headerEnd == std::string::npos) {
                headerEnd = in.find("\r\n\r\n");
                if (headerEnd == std::string::npos) continue;
                std::string head = in.substr(0, headerEnd);
                for (auto& c : head)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                const auto cl = head.find("content-length:");
                want = cl == std::string::npos ? 0 : std::stoul(head.substr(cl + 15));
            }
            if (in.size() >= headerEnd + 4 + want) break;
        }
        const int status = std::atoi(in.c_str() + 9);
        if (status != 200) std::fprintf(stderr, "%s\n", in.substr(0, 300).c_str());
        return status;
    }
};

void BM_web_static(benchmark::State& state) {
    WebFixture w;
    if (!w.ok) {
        state.SkipWithError("no server");
        return;
    }
    const std::string get = w.request("GET", "/app.css");
    for (auto _ : state) {
        if (w.roundTrip(get) != 200) state.SkipWithError("static GET failed");
    }
}

// On the order statistics screen: open the kind chooser, then cancel it. Each event is
// decoded, applied to the screen and answered with the whole view.
void BM_web_event(benchmark::State& state) {
    nav().pushViewController(createScreen("HomeStatisticsViewController"), false);
    {
        WebFixture w;
        const std::string serial = std::to_string(nav().top()->serial());
        const std::string open =
            w.request("POST", "/api/event",
                      "{\"serial\":" + serial + ",\"type\":\"tap\",\"action\":\"choseEvent\"}");
        const std::string cancel = w.request(
            "POST", "/api/event", "{\"serial\":" + serial + ",\"type\":\"sheet\",\"index\":2}");
        bool flip = false;
        for (auto _ : state) {
            if (!w.ok || w.roundTrip((flip = !flip) ? open : cancel) != 200) {
                state.SkipWithError("event failed");
                break;
            }
        }
    }
    nav().popViewControllerAnimated(false);
    nav().drain();
}

}  // namespace

BENCHMARK(BM_export_csv)->Name("export/csv")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_workbook_app)->Name("workbook/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_workbook_limit)->Name("workbook/limit")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_export_app)->Name("export/app")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_export_limit)->Name("export/limit")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_web_event)->Name("web/event")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_web_static)->Name("web/static")->Unit(benchmark::kMillisecond)->UseRealTime();
