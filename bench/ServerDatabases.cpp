#include "ServerDatabases.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace velmora::bench {
namespace {

// A text as one word for sh: in single quotes, any single quote closed, escaped and reopened.
std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

std::string Identifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string WithoutDbnameParameter(const std::string& query) {
    std::string kept;
    std::stringstream parameters(query);
    for (std::string parameter; std::getline(parameters, parameter, '&');) {
        if (parameter.rfind("dbname=", 0) == 0 || parameter.empty()) continue;
        kept += (kept.empty() ? "" : "&") + parameter;
    }
    return kept;
}

} // namespace

std::string ServerDatabaseUri(const std::string& uri, const std::string& database) {
    const size_t scheme = uri.find("://");
    const size_t authority = scheme == std::string::npos ? 0 : scheme + 3;
    const size_t queryStart = uri.find('?', authority);
    const std::string beforeQuery = uri.substr(0, queryStart);
    const size_t path = beforeQuery.find('/', authority);
    std::string result = beforeQuery.substr(0, path) + "/" + database;
    if (queryStart != std::string::npos) {
        const std::string query = WithoutDbnameParameter(uri.substr(queryStart + 1));
        if (!query.empty()) result += "?" + query;
    }
    return result;
}

ServerDatabases::ServerDatabases(std::string maintenanceUri) : uri_(std::move(maintenanceUri)) {
    connection_ = PQconnectdb(uri_.c_str());
    if (!connection_ || PQstatus(connection_) != CONNECTION_OK) {
        error_ = connection_ ? PQerrorMessage(connection_) : "out of memory";
        PQfinish(connection_);
        connection_ = nullptr;
        return;
    }
    // "database ... does not exist, skipping" and the like would break up the table.
    PQsetNoticeProcessor(
        connection_, [](void*, const char*) {}, nullptr);
}

ServerDatabases::~ServerDatabases() {
    PQfinish(connection_);
}

bool ServerDatabases::Command(const std::string& sql) {
    if (!connection_) return false;
    PGresult* result = PQexec(connection_, sql.c_str());
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!ok) error_ = PQerrorMessage(connection_);
    PQclear(result);
    return ok;
}

bool ServerDatabases::Drop(const std::string& name) {
    return Command("DROP DATABASE IF EXISTS " + Identifier(name));
}

void ServerDatabases::Checkpoint() {
    const std::string error = error_;
    Command("CHECKPOINT");
    error_ = error;
}

std::string ServerDatabases::FreshCopy(const std::string& templateName, const std::string& name) {
    if (!Drop(name) ||
        !Command("CREATE DATABASE " + Identifier(name) + " TEMPLATE " + Identifier(templateName)))
        return "";
    return ServerDatabaseUri(uri_, name);
}

bool ServerDatabases::BuildFromFile(const std::string& tool, const std::string& path,
                                    const std::string& name) {
    if (!Drop(name) || !Command("CREATE DATABASE " + Identifier(name))) return false;
    const std::string uri = ServerDatabaseUri(uri_, name);
    const std::string log = path + ".copy.log";
    const std::string command = ShellWord(tool) + " copy " + ShellWord(path) + " " +
                                ShellWord(uri) + " >" + ShellWord(log) + " 2>&1";
    if (std::system(command.c_str()) != 0) {
        std::ifstream output(log);
        std::stringstream text;
        text << output.rdbuf();
        error_ = "velmora copy failed: " + text.str();
        return false;
    }
    PGconn* copy = PQconnectdb(uri.c_str());
    PGresult* result = PQexec(copy, "VACUUM ANALYZE");
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!ok) error_ = PQerrorMessage(copy);
    PQclear(result);
    PQfinish(copy);
    return ok;
}

} // namespace velmora::bench
