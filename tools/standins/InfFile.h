#pragma once
// What the stand-in and the simulated device installers read from an INF: its values, and for a
// hardware id the model's description (its [Strings] substituted) and maker, as the system's device
// installer finds them through [Manufacturer] and the models sections (the plain section or
// one with a platform decoration such as Models.NTx86).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::standin {

struct InfModel {
    std::string description;
    std::string maker;
};

class InfFile {
  public:
    // INF text: ANSI, or UTF-16 little endian with its byte-order mark (turned into UTF-8).
    explicit InfFile(std::string_view text);

    // False when text stands outside a section or a section's name is not closed: the
    // system refuses such a file as no INF.
    bool WellFormed() const { return wellFormed_; }
    // True for the [Version] signatures the system accepts.
    bool Signed() const;
    std::string Class() const { return Value("Version", "Class"); }
    // The first value of the key, its %strings% substituted and its quotes removed.
    std::string Value(std::string_view section, std::string_view key) const;
    std::optional<InfModel> Model(std::string_view hardwareId) const;

  private:
    struct Line {
        std::string section;  // upper case
        std::string key;      // as written, quotes and %strings% resolved
        std::string value;    // the whole right side, resolved
    };
    std::string Resolve(std::string_view text) const;

    std::vector<Line> lines_;
    bool wellFormed_ = true;
};

}  // namespace tarvelin::standin
