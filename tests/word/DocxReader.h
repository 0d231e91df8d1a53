#pragma once

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <functional>
#include <string>
#include <vector>

namespace meridell::test {

// A saved document read back from its file: the main text parsed, with the questions tests ask.
class DocxReader {
public:
    explicit DocxReader(const QString& path);

    pugi::xml_node body() const { return xml_.document_element().child("w:body"); }
    // Every paragraph of the main text in order, tables included; tabs as "\t", line breaks "\n".
    QStringList paragraphs() const;
    QString text() const { return paragraphs().join('\n'); }
    int occurrences(const QString& text) const;
    int pageBreaks() const;

    // Tables of the main text (not those inside tables), 1-based.
    std::vector<pugi::xml_node> tables() const;
    int rows(int table) const;
    int columns(int table, int row) const;
    QString cell(int table, int row, int column) const;
    // Whether every run of the cell is bold (an explicit w:val="0" is not).
    bool cellBold(int table, int row, int column) const;
    // Whether the cell's runs carry an explicit "not bold".
    bool cellExplicitlyNotBold(int table, int row, int column) const;

    // The text from the paragraph holding a bookmark's start to the one holding its end.
    QString bookmarkText(const QString& name) const;

    // Structure rules of WordprocessingML that readers rely on; empty when all hold.
    QStringList structureProblems() const;
    const std::string& stylesXml() const { return styles_; }

private:
    pugi::xml_node cellNode(int table, int row, int column) const;

    pugi::xml_document xml_;
    std::string styles_;
};

QString paragraphText(pugi::xml_node paragraph);

// Writes a small document whose body holds `bodyXml` (with a section at the end).
void writeDocx(const QString& path, const std::string& bodyXml);
// Rewrites one part of a package file.
void editPart(const QString& path, const std::string& part, const std::function<void(std::string&)>& edit);

}  // namespace meridell::test
