#pragma once
#include <string>
#include <utility>
#include <vector>

// The application profile: a text file of [sections] holding key=value lines,
// the store of the program's settings between runs. Section and key names are
// matched without regard to case. Reads come from the copy loaded at
// construction; every write updates that copy and rewrites the file at once
// (through a temporary file renamed over the old one), so a stored value survives
// whatever the program does next. A missing or unreadable file reads as empty.
//
// Values keep their text exactly: a value with leading or trailing blanks, or one
// that begins and ends with a double quote, is written between double quotes, and
// one pair of surrounding double quotes is removed when read. Line breaks inside
// a value are written as blanks.
class Profile {
public:
    // A profile kept in the file at path; the file is read now when it exists.
    explicit Profile(std::string path);

    // The file this profile reads and writes.
    const std::string& Path() const { return path_; }

    // The value of key in section, or defaultValue when the key is missing.
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;
    // The leading decimal integer of the value of key in section, or defaultValue
    // when the key is missing or its value does not begin with an integer.
    int GetInt(const std::string& section, const std::string& key, int defaultValue) const;

    // Sets key in section to value (creating both when missing) and rewrites the
    // file; false when the file could not be written.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    // Sets key in section to the decimal text of value and rewrites the file.
    bool WriteInt(const std::string& section, const std::string& key, int value);

    // Set key in section in the copy held, without writing the file: a group of
    // values then reaches the file at once with Save.
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, int value);
    // Rewrites the file from the copy held; false when it could not be written
    // (the old file then stays as it was).
    bool Save() const;

    // Reads the file again, dropping the copy held; false when it cannot be read
    // (the profile is then empty).
    bool Reload();

    // The profile file of a program in the user's configuration directory:
    // $XDG_CONFIG_HOME (or $HOME/.config when that is unset or not absolute)
    // + "/" + programName + ".ini". Empty when neither variable gives a directory.
    static std::string DefaultPath(const std::string& programName);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;  // in file order
    };

    const std::string* Find(const std::string& section, const std::string& key) const;

    std::string path_;
    std::vector<Section> sections_;
};
