#include "common/core/Error.h"
#include "word/core/DocumentImpl.h"

#include <algorithm>
#include <cmath>
#include <malloc.h>

namespace meridell::word {

namespace {

bool isWordByte(unsigned char c) {
    return c < 0x80 && (std::isalnum(c) || c == '_');
}

std::string folded(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return text;
}

// A match counts only as a whole word: a word character at either end of the text sought must not
// continue into a word character of the paragraph.
bool wholeWord(const std::string& text, size_t at, const std::string& needle) {
    size_t end = at + needle.size();
    if (isWordByte(needle.front()) && at > 0 && isWordByte(text[at - 1])) {
        return false;
    }
    return !(isWordByte(needle.back()) && end < text.size() && isWordByte(text[end]));
}

// The name of the main document part, from the package relationships.
std::string mainPartName(const Package& package) {
    if (package.contains("_rels/.rels")) {
        pugi::xml_document rels;
        const std::string& data = package.part("_rels/.rels");
        if (rels.load_buffer(data.data(), data.size())) {
            for (pugi::xml_node r : rels.document_element().children("Relationship")) {
                std::string type = r.attribute("Type").value();
                if (type.size() > 15 && type.compare(type.size() - 15, 15, "/officeDocument") == 0) {
                    std::string target = r.attribute("Target").value();
                    return target.starts_with('/') ? target.substr(1) : target;
                }
            }
        }
    }
    return "word/document.xml";
}

int twips(pugi::xml_node node, const char* attribute, int fallback) {
    pugi::xml_attribute a = node.attribute(attribute);
    return a ? a.as_int(fallback) : fallback;
}

}  // namespace

std::string xmlText(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        ushort u = c.unicode();
        if ((u >= 0x20 && u != 0xFFFE && u != 0xFFFF) || u == '\t' || u == '\n' || u == '\r') {
            clean.append(c);
        }
    }
    QByteArray utf8 = clean.toUtf8();
    return std::string(utf8.constData(), size_t(utf8.size()));
}

// ---- Opening, saving, closing ----

Document::Document() : d(std::make_unique<Impl>()) {
    // Each save and open sets up and drops a few hundred kilobytes of compression state. Letting the
    // allocator keep freed memory (up to 32 MB) spares handing it back to the system and faulting
    // it in again every time, which costs more than the document work itself.
    static const bool keepFreedMemory = mallopt(M_TRIM_THRESHOLD, 32 << 20) == 1;
    (void)keepFreedMemory;
}
Document::~Document() = default;

void Document::Impl::requireOpen() const {
    if (!open) {
        throw Error(QStringLiteral("文档没有打开"));
    }
}

void Document::Impl::reset() {
    path.clear();
    package = Package();
    mainPart.clear();
    xml.reset();
    body = {};
    open = false;
    paragraphsValid = bookmarksValid = tablesValid = false;
    paragraphs.clear();
    bookmarkStarts.clear();
    bookmarkEnds.clear();
    tables.clear();
    grids.clear();
    pending.clear();
    scratch = {};
    stock.clear();
}

void Document::open(const QString& path) {
    close();
    Package package = Package::read(path);
    std::string name = mainPartName(package);
    const std::string& data = package.part(name);
    unsigned flags = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    pugi::xml_parse_result parsed = d->xml.load_buffer(data.data(), data.size(), flags, pugi::encoding_utf8);
    if (!parsed) {
        d->reset();
        throw Error(
            QStringLiteral("文档 %1 的内容有误：%2").arg(path, QString::fromUtf8(parsed.description())));
    }
    pugi::xml_node root = d->xml.document_element();
    d->body = root.child("w:body");
    if (!is(root, "w:document") || !d->body) {
        d->reset();
        throw Error(QStringLiteral("文件 %1 不是可以识别的Word文档").arg(path));
    }
    pugi::xml_node section = d->body.child("w:sectPr");
    int pageWidth = twips(section.child("w:pgSz"), "w:w", 11906);
    pugi::xml_node margins = section.child("w:pgMar");
    d->textWidth =
        std::max(1440, pageWidth - twips(margins, "w:left", 1440) - twips(margins, "w:right", 1440));
    d->tableGridStyle = package.contains("word/styles.xml") &&
                        package.part("word/styles.xml").find("w:styleId=\"TableGrid\"") != std::string::npos;
    package.setPart(name, {});  // the parsed tree is the main text from now on
    d->package = std::move(package);
    d->mainPart = name;
    d->path = path;
    d->open = true;
}

void Document::saveAs(const QString& path) {
    d->requireOpen();
    d->dropScratch();
    d->package.setPart(d->mainPart, d->serialize());
    try {
        d->package.write(path);
    } catch (...) {
        d->package.setPart(d->mainPart, {});
        throw;
    }
    d->package.setPart(d->mainPart, {});
    d->path = path;
}

void Document::close() {
    d->reset();
}

bool Document::isOpen() const {
    return d->open;
}

const QString& Document::fullName() const {
    return d->path;
}

// ---- Fragments ----

pugi::xml_node Document::Impl::parseInto(pugi::xml_node parent, const std::string& text) {
    pugi::xml_parse_result parsed = parent.append_buffer(
        text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single, pugi::encoding_utf8);
    if (!parsed) {
        throw Error(QStringLiteral("无法生成文档内容：%1").arg(QString::fromUtf8(parsed.description())));
    }
    return parent.last_child();
}

pugi::xml_node Document::Impl::fragment(const std::string& text) {
    auto found = stock.find(text);
    if (found != stock.end()) {
        return found->second;
    }
    if (!scratch) {
        scratch = xml.append_child("scratch");
    }
    pugi::xml_node node = parseInto(scratch, text);
    stock.emplace(text, node);
    return node;
}

void Document::Impl::dropScratch() {
    if (scratch) {
        xml.remove_child(scratch);
        scratch = {};
        stock.clear();
    }
}

// ---- Paragraph index and replacement ----

void Document::Impl::ensureParagraphs() {
    materializeAll();
    if (paragraphsValid) {
        return;
    }
    paragraphs.clear();
    collectParagraphs(body);
    for (Paragraph& p : paragraphs) {
        indexParagraph(p);
    }
    paragraphsValid = true;
}

void Document::Impl::collectParagraphs(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (is(child, "w:p")) {
            paragraphs.push_back({child, {}, {}, {}});
        } else if (child.type() == pugi::node_element && !is(child, "w:sectPr")) {
            collectParagraphs(child);
        }
    }
}

void Document::Impl::indexParagraph(Paragraph& paragraph) {
    paragraph.text.clear();
    paragraph.segments.clear();
    collectText(paragraph.node, paragraph);
    paragraph.folded = folded(paragraph.text);
}

void Document::Impl::collectText(pugi::xml_node container, Paragraph& paragraph) {
    forEachRun(container, [&](pugi::xml_node run) {
        for (pugi::xml_node c = run.first_child(); c; c = c.next_sibling()) {
            if (is(c, "w:t")) {
                const char* text = c.child_value();
                size_t length = std::strlen(text);
                if (length > 0) {
                    paragraph.segments.push_back({c, paragraph.text.size(), length});
                    paragraph.text.append(text, length);
                }
            } else if (is(c, "w:tab") || is(c, "w:br") || is(c, "w:cr")) {
                paragraph.segments.push_back({{}, paragraph.text.size(), 1});
                paragraph.text.push_back(is(c, "w:tab") ? '\t' : '\n');
            }
        }
    });
}

namespace {

void setText(pugi::xml_node t, const std::string& text) {
    t.text().set(text.c_str());
    bool edges = !text.empty() && (text.front() == ' ' || text.back() == ' ' || text.front() == '\t');
    if (edges && !t.attribute("xml:space")) {
        t.append_attribute("xml:space") = "preserve";
    }
}

}  // namespace

bool Document::replaceFirst(const QString& find, const QString& replacement) {
    d->requireOpen();
    std::string needle = folded(xmlText(find));
    if (needle.empty()) {
        return false;
    }
    std::string value = xmlText(replacement);
    d->ensureParagraphs();
    for (Impl::Paragraph& p : d->paragraphs) {
        for (size_t at = p.folded.find(needle); at != std::string::npos; at = p.folded.find(needle, at + 1)) {
            if (!wholeWord(p.folded, at, needle)) {
                continue;
            }
            size_t end = at + needle.size();
            auto first = std::find_if(p.segments.begin(), p.segments.end(),
                                      [&](const Impl::Segment& s) { return s.offset + s.length > at; });
            auto last = std::find_if(first, p.segments.end(),
                                     [&](const Impl::Segment& s) { return s.offset + s.length >= end; });
            if (last == p.segments.end() ||
                std::any_of(first, last + 1, [](const Impl::Segment& s) { return !s.text; })) {
                continue;  // a match over a tab or line break
            }
            for (auto s = first; s <= last; ++s) {
                std::string text = s->text.child_value();
                size_t from = at > s->offset ? at - s->offset : 0;
                size_t to = std::min(end - s->offset, s->length);
                text.replace(from, to - from, s == first ? value : std::string());
                setText(s->text, text);
            }
            d->indexParagraph(p);
            return true;
        }
    }
    return false;
}

// ---- Bookmarks ----

void Document::Impl::ensureBookmarks() {
    if (bookmarksValid) {
        return;
    }
    std::vector<pugi::xml_node> toVisit{body};
    while (!toVisit.empty()) {
        pugi::xml_node node = toVisit.back();
        toVisit.pop_back();
        for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling()) {
            if (c.type() != pugi::node_element) {
                continue;
            }
            if (is(c, "w:bookmarkStart")) {
                bookmarkStarts.emplace(folded(c.attribute("w:name").value()), c);
            } else if (is(c, "w:bookmarkEnd")) {
                bookmarkEnds.emplace(c.attribute("w:id").value(), c);
            } else if (c.first_child()) {
                toVisit.push_back(c);
            }
        }
    }
    bookmarksValid = true;
}

Range Document::bookmarkRange(const QString& name) {
    d->requireOpen();
    d->ensureBookmarks();
    auto start = d->bookmarkStarts.find(folded(xmlText(name)));
    if (start == d->bookmarkStarts.end()) {
        throw Error(QStringLiteral("文档中没有书签“%1”").arg(name));
    }
    auto end = d->bookmarkEnds.find(start->second.attribute("w:id").value());
    if (end == d->bookmarkEnds.end()) {
        throw Error(QStringLiteral("书签“%1”没有结束标记").arg(name));
    }
    Range range;
    range.kind_ = Range::Kind::Bookmark;
    range.start_ = start->second;
    range.end_ = end->second;
    return range;
}

// ---- Tables ----

void Document::Impl::ensureTables() {
    if (tablesValid) {
        return;
    }
    tables.clear();
    collectTables(body);
    tablesValid = true;
}

void Document::Impl::collectTables(pugi::xml_node node) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (is(c, "w:tbl")) {
            tables.push_back(c);
        } else if (c.type() == pugi::node_element && !is(c, "w:p") && !is(c, "w:sectPr")) {
            collectTables(c);
        }
    }
}

int Document::tableCount() {
    d->requireOpen();
    d->ensureTables();
    return int(d->tables.size());
}

Table Document::table(int position) {
    d->requireOpen();
    d->ensureTables();
    if (position < 1 || position > int(d->tables.size())) {
        throw Error(QStringLiteral("文档中没有第%1个表格").arg(position));
    }
    Table t;
    t.node_ = d->tables[size_t(position - 1)];
    t.position_ = position;
    return t;
}

Document::Impl::Grid& Document::Impl::grid(const Table& table) {
    auto found = grids.find(table.node_.internal_object());
    if (found != grids.end()) {
        return found->second;
    }
    Grid g;
    // Rows and cells, also those wrapped in content controls.
    auto collect = [](pugi::xml_node parent, const char* name, std::vector<pugi::xml_node>& out,
                      auto& self) -> void {
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
            if (is(c, name)) {
                out.push_back(c);
            } else if (is(c, "w:sdt") || is(c, "w:sdtContent") || is(c, "w:customXml")) {
                self(c, name, out, self);
            }
        }
    };
    std::vector<pugi::xml_node> rows;
    collect(table.node_, "w:tr", rows, collect);
    g.reserve(rows.size());
    for (pugi::xml_node row : rows) {
        g.emplace_back();
        collect(row, "w:tc", g.back(), collect);
    }
    return grids.emplace(table.node_.internal_object(), std::move(g)).first->second;
}

}  // namespace meridell::word
