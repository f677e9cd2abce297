#include "RowFormat.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace velmora::tool {
namespace {

// 1 January 1970 as an automation date.
constexpr long long kUnixEpochDay = 25569;

// Code points in a UTF-8 text (continuation bytes do not count).
size_t Width(std::string_view utf8) {
    size_t width = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++width;
    return width;
}

// The first `width` code points of a UTF-8 text.
std::string_view Prefix(std::string_view utf8, size_t width) {
    size_t seen = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && seen++ == width)
            return utf8.substr(0, i);
    }
    return utf8;
}

std::string TableText(const Cell& cell, size_t maxWidth) {
    std::string text;
    for (char c : cell.text)
        text += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    if (cell.kind == Cell::Kind::Date && text.size() == 19) {
        text[10] = ' ';
        text.resize(16); // minutes are enough to read
    }
    if (cell.kind == Cell::Kind::Text && Width(text) > maxWidth && maxWidth > 3)
        text = std::string(Prefix(text, maxWidth - 3)) + "...";
    return text;
}

} // namespace

std::optional<std::string> IsoDateTime(double date) {
    using namespace std::chrono;
    if (date == 0.0 || !std::isfinite(date)) return std::nullopt;
    const long long totalSeconds = std::llround(date * 86400.0);
    long long days = totalSeconds / 86400;
    long long seconds = totalSeconds % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    const year_month_day day{sys_days{std::chrono::days{days - kUnixEpochDay}}};
    const int year = static_cast<int>(day.year());
    if (year < 1 || year > 9999) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld", year,
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
    return std::string(text);
}

std::optional<double> ParseIsoDay(std::string_view text) {
    using namespace std::chrono;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {0, 0, 0};
    const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    }
    const year_month_day day{year{parts[0]}, month{static_cast<unsigned>(parts[1])},
                             std::chrono::day{static_cast<unsigned>(parts[2])}};
    if (!day.ok() || parts[0] < 100) return std::nullopt;
    return static_cast<double>(sys_days{day}.time_since_epoch().count() + kUnixEpochDay);
}

Cell DateCell(double date) {
    const auto text = IsoDateTime(date);
    return Cell{text.value_or(""), Cell::Kind::Date, !text};
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string FormatCsv(const std::vector<Column>& columns,
                      const std::vector<std::vector<Cell>>& rows) {
    std::string out;
    for (size_t i = 0; i < columns.size(); ++i)
        out += (i ? "," : "") + CsvField(columns[i].caption);
    out += "\r\n";
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i)
            out += (i ? "," : "") + CsvField(row[i].text);
        out += "\r\n";
    }
    return out;
}

std::string FormatJson(const std::vector<Column>& columns,
                       const std::vector<std::vector<Cell>>& rows) {
    std::string out = "[";
    for (size_t r = 0; r < rows.size(); ++r) {
        out += r ? ",\n {" : "\n {";
        for (size_t i = 0; i < columns.size() && i < rows[r].size(); ++i) {
            const Cell& cell = rows[r][i];
            out += (i ? ", " : "") + JsonString(columns[i].key) + ": ";
            if (cell.null)
                out += "null";
            else if (cell.kind == Cell::Kind::Number)
                out += cell.text;
            else
                out += JsonString(cell.text);
        }
        out += "}";
    }
    return out + (rows.empty() ? "]\n" : "\n]\n");
}

std::string FormatTable(const std::vector<Column>& columns,
                        const std::vector<std::vector<Cell>>& rows, size_t maxWidth) {
    std::vector<std::vector<std::string>> texts;
    std::vector<size_t> widths;
    for (const Column& column : columns)
        widths.push_back(Width(column.caption));
    for (const auto& row : rows) {
        auto& line = texts.emplace_back();
        for (size_t i = 0; i < row.size() && i < columns.size(); ++i) {
            line.push_back(TableText(row[i], maxWidth));
            widths[i] = std::max(widths[i], Width(line.back()));
        }
    }
    const auto emit = [&](std::string& out, size_t i, const std::string& text) {
        const bool last = i + 1 == columns.size();
        out += text;
        if (!last) out += std::string(widths[i] - Width(text) + 2, ' ');
    };
    std::string out;
    for (size_t i = 0; i < columns.size(); ++i)
        emit(out, i, columns[i].caption);
    out += "\n";
    for (size_t i = 0; i < columns.size(); ++i)
        emit(out, i, std::string(widths[i], '-'));
    out += "\n";
    for (const auto& line : texts) {
        std::string text;
        for (size_t i = 0; i < line.size(); ++i)
            emit(text, i, line[i]);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        out += text + "\n";
    }
    return out;
}

} // namespace velmora::tool
