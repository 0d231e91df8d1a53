// Packs a document template kept as readable XML into the package file the program opens: the
// parts of each given folder (a later folder's part replaces an earlier one of the same name), with
// the layout whitespace between elements and the comments left out.
#include "common/core/Error.h"
#include "word/core/Package.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool keepsWhitespace(pugi::xml_node element) {
    const char* name = element.name();
    return std::strcmp(name, "w:t") == 0 || std::strcmp(name, "w:instrText") == 0 ||
           std::strcmp(name, "w:delText") == 0;
}

void dropLayout(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child;) {
        pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_pcdata && !keepsWhitespace(node) &&
            std::all_of(child.value(), child.value() + std::strlen(child.value()),
                        [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; })) {
            node.remove_child(child);
        } else if (child.type() == pugi::node_element) {
            dropLayout(child);
        }
        child = next;
    }
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

std::string compact(const fs::path& file, const std::string& text) {
    pugi::xml_document xml;
    pugi::xml_parse_result parsed =
        xml.load_buffer(text.data(), text.size(),
                        pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
    if (!parsed) {
        throw std::runtime_error(file.string() + ": " + parsed.description() + " at offset " +
                                 std::to_string(parsed.offset));
    }
    dropLayout(xml);
    StringWriter writer;
    xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.out;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: meridell_mktemplate <out.doc> <folder>...\n");
        return 2;
    }
    try {
        std::map<std::string, fs::path> parts;
        for (int i = 2; i < argc; ++i) {
            fs::path folder(argv[i]);
            for (const auto& entry : fs::recursive_directory_iterator(folder)) {
                if (entry.is_regular_file()) {
                    parts[fs::relative(entry.path(), folder).generic_string()] = entry.path();
                }
            }
        }
        meridell::word::Package package;
        auto add = [&](const std::string& name, const fs::path& file) {
            std::ifstream in(file, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            package.setPart(name, compact(file, text.str()));
        };
        // The content types come first, as readers expect.
        const std::string types = "[Content_Types].xml";
        if (parts.count(types)) {
            add(types, parts[types]);
        }
        for (const auto& [name, file] : parts) {
            if (name != types) {
                add(name, file);
            }
        }
        package.write(QString::fromLocal8Bit(argv[1]));
    } catch (const meridell::Error& e) {
        std::fprintf(stderr, "meridell_mktemplate: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "meridell_mktemplate: %s\n", e.what());
        return 1;
    }
    return 0;
}
