#pragma once

#include <QString>

#include <string>
#include <vector>

namespace meridell::word {

// The parts of an OOXML package, held in memory: read whole from a zip archive, written whole to one.
// Parts keep the order in which they were read or added, so "[Content_Types].xml" stays first.
class Package {
public:
    struct Part {
        std::string name;
        std::string data;
    };

    // Reads every part of the archive at `path`. Throws meridell::Error when the file is missing or
    // is not a zip archive.
    static Package read(const QString& path);

    // Writes the parts as a new zip archive at `path`, replacing any file of that name at once (the
    // old file stays intact when writing fails). Throws meridell::Error.
    void write(const QString& path) const;

    bool contains(const std::string& name) const { return find(name) != nullptr; }
    // The data of a part; throws meridell::Error when there is none.
    const std::string& part(const std::string& name) const;
    // Replaces the data of a part, or adds the part at the end.
    void setPart(const std::string& name, std::string data);
    const std::vector<Part>& parts() const { return parts_; }

private:
    const Part* find(const std::string& name) const;

    std::vector<Part> parts_;
};

}  // namespace meridell::word
