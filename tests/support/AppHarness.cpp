#include "tests/support/AppHarness.h"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <cstdlib>
#include <filesystem>

#include "platform/BackgroundWork.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/SDBManager.h"
#include "toolkit/ScreenMode.h"

void AppHarness::SetUp() {
    char tmpl[] = "/tmp/mk-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dataDir_ = tmpl;
    DocumentsDirectory::setPath(dataDir_);
    SDBManager::close();
    UserDefaults::resetStandardUserDefaults();
    Localisation::select("en");
    clock_ = std::make_shared<FixedClock>(at(2015, 5, 9, 16, 2, 50), "Europe/Madrid");
    Clock::install(clock_);
    ScreenMode::setPixelSize(std::make_pair(640, 1136));
}

void AppHarness::TearDown() {
    BackgroundWork::stopAll();
    app_.reset();
    SDBManager::close();
    UserDefaults::resetStandardUserDefaults();
    Clock::install(nullptr);
    ScreenMode::setPixelSize(std::nullopt);
    std::error_code ec;
    std::filesystem::remove_all(dataDir_, ec);
}

void AppHarness::start() {
    app_ = std::make_unique<AppDelegate>();
    app_->application_didFinishLaunchingWithOptions();
}

Clock::TimePoint AppHarness::at(int y, int mo, int d, int h, int mi, int s,
                                const std::string& zone) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar cal(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)),
                               status);
    cal.clear();
    cal.set(y, mo - 1, d, h, mi, s);
    UDate ms = cal.getTime(status);
    return Clock::TimePoint(std::chrono::duration_cast<Clock::TimePoint::duration>(
        std::chrono::milliseconds(static_cast<long long>(ms))));
}

bool AppHarness::send(const UIEvent& e) {
    bool ok = top()->handleEvent(e);
    BackgroundWork::waitUntilEnded();
    BackgroundWork::deliver();
    nav().drain();
    return ok;
}

bool AppHarness::tap(const std::string& action, int row, const std::string& id) {
    UIEvent e;
    e.type = "tap";
    e.action = action;
    e.row = row;
    e.id = id;
    return send(e);
}

bool AppHarness::selectRow(const std::string& tableId, int row) {
    UIEvent e;
    e.type = "row";
    e.id = tableId;
    e.row = row;
    return send(e);
}

namespace {
long codePoints(const std::string& s) {
    long n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}
}  // namespace

bool AppHarness::change(const std::string& fieldId, long location, long length,
                        const std::string& repl) {
    UIEvent e;
    e.type = "text";
    e.id = fieldId;
    e.location = location;
    e.length = length;
    e.replacement = repl;
    return send(e);
}

bool AppHarness::setText(const std::string& fieldId, const std::string& text) {
    auto* f = top()->get<TextField>(fieldId);
    if (!f) return false;
    return change(fieldId, 0, codePoints(f->text), text);
}

bool AppHarness::pressReturn(const std::string& fieldId) {
    UIEvent e;
    e.type = "return";
    e.id = fieldId;
    return send(e);
}

bool AppHarness::pickDate(const std::string& pickerId, const std::string& ymd) {
    UIEvent e;
    e.type = "date";
    e.id = pickerId;
    e.value = ymd;
    return send(e);
}

bool AppHarness::sheet(int index) {
    UIEvent e;
    e.type = "sheet";
    e.index = index;
    return send(e);
}

bool AppHarness::alertRow(int row) {
    UIEvent e;
    e.type = "alert";
    e.row = row;
    return send(e);
}

std::string AppHarness::labelText(const std::string& id) {
    auto* l = top()->get<Label>(id);
    return l ? l->text : "<no label " + id + ">";
}

std::string AppHarness::fieldText(const std::string& id) {
    auto* f = top()->get<TextField>(id);
    return f ? f->text : "<no field " + id + ">";
}
