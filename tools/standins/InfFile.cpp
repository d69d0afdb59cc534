#include "InfFile.h"

#include "TrimLine.h"

#include <algorithm>

#include "core/modTypes.h"

namespace tarvelin::standin {
namespace {

constexpr const char* kSignatures[] = {"$Windows NT$", "$Chicago$", "$Windows 95$"};

std::string Unquote(std::string_view text) {
    text = TrimLine(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

// A line without its comment: ";" starts one outside quotes.
std::string_view Uncommented(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ';' && !quoted) return line.substr(0, i);
    }
    return line;
}

// UTF-16 little endian with its mark becomes UTF-8; anything else is taken as it is.
std::string Narrow(std::string_view text) {
    if (text.size() < 2 || text[0] != '\xFF' || text[1] != '\xFE') return std::string(text);
    std::string out;
    for (size_t i = 2; i + 1 < text.size(); i += 2) {
        const auto unit = static_cast<uint32_t>(static_cast<uint8_t>(text[i]) |
                                                static_cast<uint8_t>(text[i + 1]) << 8);
        if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (unit < 0x800) {
            out += static_cast<char>(0xC0 | unit >> 6);
            out += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | unit >> 12);
            out += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return out;
}

// A [Strings] value writes a per cent sign as "%%".
std::string Percents(std::string text) {
    for (size_t at = text.find("%%"); at != std::string::npos; at = text.find("%%", at + 1))
        text.erase(at, 1);
    return text;
}

std::vector<std::string> Fields(std::string_view value) {
    std::vector<std::string> fields;
    for (size_t start = 0; start <= value.size();) {
        const size_t comma = std::min(value.find(',', start), value.size());
        fields.push_back(std::string(TrimLine(value.substr(start, comma - start))));
        start = comma + 1;
    }
    return fields;
}

}  // namespace

InfFile::InfFile(std::string_view text) {
    const std::string narrow = Narrow(text);
    std::string_view rest = narrow;
    std::string section;
    while (!rest.empty()) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = TrimLine(Uncommented(rest.substr(0, end)));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = TextUpper(TrimLine(line.substr(1, line.size() - 2)));
        } else if (!line.empty() && (line.front() == '[' || section.empty())) {
            wellFormed_ = false;
        } else if (const size_t equals = line.find('='); !line.empty()) {
            if (equals == std::string_view::npos)
                lines_.push_back({section, "", std::string(line)});
            else
                lines_.push_back({section, std::string(TrimLine(line.substr(0, equals))),
                                  std::string(TrimLine(line.substr(equals + 1)))});
        }
    }
}

bool InfFile::Signed() const {
    const std::string signature = Value("Version", "Signature");
    return std::any_of(std::begin(kSignatures), std::end(kSignatures),
                       [&](const char* known) { return EqualsNoCase(signature, known); });
}

std::string InfFile::Value(std::string_view section, std::string_view key) const {
    for (const Line& line : lines_)
        if (line.section == TextUpper(section) && EqualsNoCase(line.key, key))
            return Resolve(line.value);
    return {};
}

// %name% becomes the [Strings] value of that name; %% is a single per cent sign.
std::string InfFile::Resolve(std::string_view text) const {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string_view::npos;
        if (close == std::string_view::npos) {
            out += text[i];
            continue;
        }
        const std::string_view name = text.substr(i + 1, close - i - 1);
        if (name.empty()) {
            out += '%';
        } else {
            const auto it = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) {
                return l.section == "STRINGS" && EqualsNoCase(l.key, name);
            });
            out += it == lines_.end() ? std::string(name) : Percents(Unquote(it->value));
        }
        i = close;
    }
    return Unquote(out);
}

std::optional<InfModel> InfFile::Model(std::string_view hardwareId) const {
    for (const Line& maker : lines_) {
        if (maker.section != "MANUFACTURER") continue;
        const std::vector<std::string> models = Fields(maker.value);
        // The plain models section, then each decorated one the line names.
        std::vector<std::string> sections{TextUpper(models[0])};
        for (size_t i = 1; i < models.size(); ++i)
            sections.push_back(TextUpper(models[0] + "." + models[i]));
        for (const Line& model : lines_) {
            if (std::find(sections.begin(), sections.end(), model.section) == sections.end())
                continue;
            const std::vector<std::string> ids = Fields(model.value);
            if (std::any_of(ids.begin() + 1, ids.end(),
                            [&](const std::string& id) { return EqualsNoCase(id, hardwareId); }))
                return InfModel{Resolve(model.key), Resolve(maker.key)};
        }
    }
    return std::nullopt;
}

}  // namespace tarvelin::standin
