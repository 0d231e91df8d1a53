#include "common/core/Error.h"
#include "word/core/DocumentImpl.h"

#include <array>
#include <cmath>
#include <string_view>

namespace meridell::word {

namespace {

// Children of run properties (and of a paragraph mark's run properties) in the order the schema
// requires.
constexpr std::array<std::string_view, 44> kRunPropertyOrder{"w:ins",
                                                             "w:del",
                                                             "w:moveFrom",
                                                             "w:moveTo",
                                                             "w:rStyle",
                                                             "w:rFonts",
                                                             "w:b",
                                                             "w:bCs",
                                                             "w:i",
                                                             "w:iCs",
                                                             "w:caps",
                                                             "w:smallCaps",
                                                             "w:strike",
                                                             "w:dstrike",
                                                             "w:outline",
                                                             "w:shadow",
                                                             "w:emboss",
                                                             "w:imprint",
                                                             "w:noProof",
                                                             "w:snapToGrid",
                                                             "w:vanish",
                                                             "w:webHidden",
                                                             "w:color",
                                                             "w:spacing",
                                                             "w:w",
                                                             "w:kern",
                                                             "w:position",
                                                             "w:sz",
                                                             "w:szCs",
                                                             "w:highlight",
                                                             "w:u",
                                                             "w:effect",
                                                             "w:bdr",
                                                             "w:shd",
                                                             "w:fitText",
                                                             "w:vertAlign",
                                                             "w:rtl",
                                                             "w:cs",
                                                             "w:em",
                                                             "w:lang",
                                                             "w:eastAsianLayout",
                                                             "w:specVanish",
                                                             "w:oMath",
                                                             "w:rPrChange"};

size_t runPropertyRank(const char* name) {
    for (size_t i = 0; i < kRunPropertyOrder.size(); ++i) {
        if (kRunPropertyOrder[i] == name) {
            return i;
        }
    }
    return kRunPropertyOrder.size();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

}  // namespace

// ---- Properties ----

void Document::Impl::setProperty(pugi::xml_node rPr, pugi::xml_node property) {
    size_t rank = runPropertyRank(property.name());
    for (pugi::xml_node c = rPr.first_child(); c; c = c.next_sibling()) {
        size_t r = runPropertyRank(c.name());
        if (r == rank) {
            rPr.insert_copy_before(property, c);
            rPr.remove_child(c);
            return;
        }
        if (r > rank) {
            rPr.insert_copy_before(property, c);
            return;
        }
    }
    rPr.append_copy(property);
}

pugi::xml_node Document::Impl::paragraphMarkFormat(pugi::xml_node paragraph, bool create) {
    pugi::xml_node pPr = paragraph.child("w:pPr");
    if (!pPr) {
        if (!create) {
            return {};
        }
        pPr = paragraph.prepend_copy(fragment("<w:pPr/>"));
    }
    pugi::xml_node rPr = pPr.child("w:rPr");
    if (!rPr && create) {
        pugi::xml_node after = pPr.child("w:sectPr") ? pPr.child("w:sectPr") : pPr.child("w:pPrChange");
        rPr = after ? pPr.insert_copy_before(fragment("<w:rPr/>"), after)
                    : pPr.append_copy(fragment("<w:rPr/>"));
    }
    return rPr;
}

pugi::xml_node Document::Impl::runFormatOf(pugi::xml_node run, bool create) {
    pugi::xml_node rPr = run.child("w:rPr");
    if (!rPr && create) {
        rPr = run.prepend_copy(fragment("<w:rPr/>"));
    }
    return rPr;
}

// The formatting that text added at `at` takes: that of the last run before it in the same
// paragraph, or else that of the paragraph mark.
pugi::xml_node Document::Impl::runFormat(const Point& at) {
    pugi::xml_node start = at.before ? at.before.previous_sibling() : at.parent.last_child();
    for (pugi::xml_node n = start; n; n = n.previous_sibling()) {
        if (is(n, "w:r")) {
            return n.child("w:rPr");
        }
    }
    pugi::xml_node paragraph = paragraphOf(at.parent);
    return paragraph ? paragraphMarkFormat(paragraph, false) : pugi::xml_node();
}

void Document::Impl::formatParagraphs(pugi::xml_node node, pugi::xml_node property) {
    forEachParagraph(node, [&](pugi::xml_node p) {
        setProperty(paragraphMarkFormat(p, true), property);
        forEachRun(p, [&](pugi::xml_node r) { setProperty(runFormatOf(r, true), property); });
    });
}

// ---- Text ----

pugi::xml_node Document::Impl::insertRun(Point at, const std::string& text, pugi::xml_node format) {
    pugi::xml_node run = at.before ? at.parent.insert_copy_before(fragment("<w:r/>"), at.before)
                                   : at.parent.append_copy(fragment("<w:r/>"));
    if (format) {
        run.append_copy(format);
    }
    // Tabs in the text become tab elements.
    size_t from = 0;
    while (from <= text.size()) {
        size_t tab = text.find('\t', from);
        std::string piece = text.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
        if (!piece.empty()) {
            pugi::xml_node t = run.append_copy(fragment("<w:t/>"));
            t.append_child(pugi::node_pcdata).set_value(piece.c_str());
            if (piece.front() == ' ' || piece.back() == ' ') {
                t.append_attribute("xml:space") = "preserve";
            }
        }
        if (tab == std::string::npos) {
            break;
        }
        run.append_copy(fragment("<w:tab/>"));
        from = tab + 1;
    }
    return run;
}

pugi::xml_node Document::Impl::newParagraphAfter(pugi::xml_node paragraph) {
    pugi::xml_node p = paragraph.parent().insert_copy_after(fragment("<w:p/>"), paragraph);
    if (pugi::xml_node pPr = paragraph.child("w:pPr")) {
        pugi::xml_node copy = p.append_copy(pPr);
        copy.remove_child("w:sectPr");
    }
    return p;
}

// Moves `from` and every later sibling to the end of `to`; a section break carried by the first
// paragraph's mark goes with them, since the mark it belongs to is now the last one.
void Document::Impl::moveTail(pugi::xml_node origin, pugi::xml_node from, pugi::xml_node to) {
    for (pugi::xml_node n = from; n;) {
        pugi::xml_node next = n.next_sibling();
        to.append_move(n);
        n = next;
    }
    if (pugi::xml_node section = origin.child("w:pPr").child("w:sectPr")) {
        to.child("w:pPr").append_move(section);
    }
}

Point Document::Impl::endPoint(const Range& range) {
    switch (range.kind_) {
        case Range::Kind::Bookmark:
            return {range.end_.parent(), range.end_};
        case Range::Kind::Cell: {
            pugi::xml_node cell = cellNode(range);
            pugi::xml_node p = cell.last_child();
            if (!is(p, "w:p")) {
                p = cell.append_copy(fragment("<w:p/>"));
            }
            return {p, {}};
        }
        case Range::Kind::None:
            break;
    }
    throw Error(QStringLiteral("无效的文档位置"));
}

void Document::insertAfter(const Range& range, const QString& text) {
    d->requireOpen();
    if (Impl::PendingCell* cell = d->pendingCell(range)) {
        // Line breaks of any kind separate the cell's paragraphs.
        std::vector<std::string> lines = splitLines(xmlText(text));
        for (size_t i = 0; i < lines.size(); ++i) {
            cell->text += (i ? "\n" : "") + lines[i];
        }
        return;
    }
    std::vector<std::string> lines = splitLines(xmlText(text));
    if (lines.size() == 1 && lines.front().empty()) {
        return;
    }
    Point at = d->endPoint(range);
    if (!isParagraphContent(at.parent)) {
        pugi::xml_node p = at.before ? at.parent.insert_copy_before(d->fragment("<w:p/>"), at.before)
                                     : at.parent.append_copy(d->fragment("<w:p/>"));
        at = {p, {}};
    }
    pugi::xml_node format = d->runFormat(at);
    pugi::xml_node paragraph = paragraphOf(at.parent);
    if (!lines.front().empty()) {
        d->insertRun(at, lines.front(), format);
    }
    if (lines.size() > 1 && at.parent != paragraph) {
        // Inside a hyperlink or the like: line breaks instead of paragraphs.
        for (size_t i = 1; i < lines.size(); ++i) {
            pugi::xml_node br = d->insertRun(at, {}, format);
            br.append_copy(d->fragment("<w:br/>"));
            if (!lines[i].empty()) {
                d->insertRun(at, lines[i], format);
            }
        }
    } else if (lines.size() > 1) {
        pugi::xml_node last = paragraph;
        for (size_t i = 1; i < lines.size(); ++i) {
            last = d->newParagraphAfter(last);
            if (!lines[i].empty()) {
                d->insertRun({last, {}}, lines[i], format);
            }
        }
        d->moveTail(paragraph, at.before, last);
    }
    d->paragraphsValid = false;
}

void Document::insertBreak(const Range& range) {
    d->requireOpen();
    Point at = d->endPoint(range);
    if (!isParagraphContent(at.parent)) {
        pugi::xml_node p = at.before ? at.parent.insert_copy_before(d->fragment("<w:p/>"), at.before)
                                     : at.parent.append_copy(d->fragment("<w:p/>"));
        at = {p, {}};
    }
    pugi::xml_node run = d->insertRun(at, {}, {});
    run.append_copy(d->fragment("<w:br w:type=\"page\"/>"));
    d->paragraphsValid = false;
}

}  // namespace meridell::word
