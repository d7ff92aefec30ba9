#include "storage/SDBManager.h"

#include <filesystem>

#include "platform/DocumentsDirectory.h"

namespace {
std::unique_ptr<SDBManager>& sharedManager() {
    static std::unique_ptr<SDBManager> instance;
    return instance;
}
}  // namespace

SDBManager::SDBManager() {
    initializeDBWithName("voice.sqlite");
}

SDBManager& SDBManager::defaultDBManager() {
    auto& instance = sharedManager();
    if (!instance) instance.reset(new SDBManager());
    return *instance;
}

void SDBManager::close() {
    auto& instance = sharedManager();
    if (!instance) return;
    if (instance->_dataBase) instance->_dataBase->close();
    instance.reset();
}

bool SDBManager::initializeDBWithName(const std::string& name) {
    _name = DocumentsDirectory::path() + "/" + name;
    std::error_code ec;
    const bool existed = std::filesystem::exists(_name, ec);
    connect();
    return existed;
}

void SDBManager::connect() {
    if (!_dataBase) _dataBase = SQLDatabase::databaseWithPath(_name);
    _dataBase->open();
}

bool SDBManager::isOpen() const {
    return _dataBase && _dataBase->sqliteHandle() != nullptr;
}
