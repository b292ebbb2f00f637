#include "platform/xlsx_workbook.h"

#include "platform/text.h"

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <system_error>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace tavir::platform {

namespace {

namespace fs = std::filesystem;

// A template is a few hundred kilobytes; anything far beyond that is not a
// workbook this program should unpack into memory.
constexpr zip_uint64_t kMaxUnpackedBytes = 256ull << 20;

const char* const kRelOfficeDocument = "/officeDocument";
const char* const kRelStyles = "/styles";
const char* const kRelSharedStrings = "/sharedStrings";
const char* const kRelCalcChain = "/calcChain";

// Elements are matched by local name, so that a workbook written with a
// namespace prefix ("x:row") is read like one without.
std::string_view localName(std::string_view name) {
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string prefixOf(pugi::xml_node node) {
    std::string_view name = node.name();
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
}

bool isElement(pugi::xml_node node, std::string_view local) {
    return node.type() == pugi::node_element && localName(node.name()) == local;
}

pugi::xml_node child(pugi::xml_node parent, std::string_view local) {
    for (pugi::xml_node c : parent.children()) {
        if (isElement(c, local)) return c;
    }
    return {};
}

std::vector<pugi::xml_node> children(pugi::xml_node parent, std::string_view local) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c : parent.children()) {
        if (isElement(c, local)) out.push_back(c);
    }
    return out;
}

std::string qualified(pugi::xml_node parent, std::string_view local) { return prefixOf(parent) + std::string(local); }

pugi::xml_node appendElement(pugi::xml_node parent, std::string_view local) {
    return parent.append_child(qualified(parent, local).c_str());
}

void setAttr(pugi::xml_node node, const char* name, std::string_view value) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a) a = node.append_attribute(name);
    a.set_value(std::string(value).c_str());
}

bool truthy(pugi::xml_attribute a) {
    std::string_view v = a.value();
    return v == "1" || v == "true";
}

int intAttr(pugi::xml_node node, const char* name, int fallback = 0) {
    pugi::xml_attribute a = node.attribute(name);
    return a ? a.as_int(fallback) : fallback;
}

// The attribute "r:id" whatever prefix the relationships namespace got.
std::string relationshipId(pugi::xml_node node) {
    for (pugi::xml_attribute a : node.attributes()) {
        std::string_view name = a.name();
        if (name.find(':') != std::string_view::npos && localName(name) == "id") return a.value();
    }
    return {};
}

std::string columnLetters(int column) {
    std::string out;
    while (column > 0) {
        int rest = (column - 1) % 26;
        out.insert(out.begin(), static_cast<char>('A' + rest));
        column = (column - 1) / 26;
    }
    return out;
}

std::string cellRef(int row, int column) { return columnLetters(column) + std::to_string(row); }

// "B3" -> row 3, column 2; false for anything else.
bool parseCellRef(std::string_view ref, int& row, int& column) {
    size_t i = 0;
    int64_t col = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && col <= XlsxWorkbook::kMaxColumn) {
        col = col * 26 + (ref[i] - 'A' + 1);
        ++i;
    }
    if (i == 0 || col > XlsxWorkbook::kMaxColumn || i == ref.size()) return false;
    int r = 0;
    auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), r);
    if (ec != std::errc() || end != ref.data() + ref.size() || r < 1 || r > XlsxWorkbook::kMaxRow) return false;
    row = r;
    column = static_cast<int>(col);
    return true;
}

bool validCell(int row, int column) {
    return row >= 1 && row <= XlsxWorkbook::kMaxRow && column >= 1 && column <= XlsxWorkbook::kMaxColumn;
}

Status noCellStyles() {
    return Status::fail(ErrorKind::Invalid, "В книге нет таблицы стилей ячеек");
}

Status badCell(int row, int column) {
    return Status::fail(ErrorKind::Invalid,
                        "Ячейка R" + std::to_string(row) + "C" + std::to_string(column) + " вне листа");
}

// Both corners on the sheet; the corners put in order, first above and left.
Status checkRectangle(int& firstRow, int& firstColumn, int& lastRow, int& lastColumn) {
    if (!validCell(firstRow, firstColumn)) return badCell(firstRow, firstColumn);
    if (!validCell(lastRow, lastColumn)) return badCell(lastRow, lastColumn);
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    if (firstColumn > lastColumn) std::swap(firstColumn, lastColumn);
    return Status::ok();
}

// Characters XML 1.0 cannot carry are left out rather than making the whole
// file unreadable.
std::string xmlSafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        unsigned char u = static_cast<unsigned char>(ch);
        if (u < 0x20 && ch != '\t' && ch != '\n' && ch != '\r') continue;
        out.push_back(ch);
    }
    return out;
}

std::string serialize(const pugi::xml_document& doc) {
    std::ostringstream os;
    doc.save(os, "", pugi::format_raw, pugi::encoding_utf8);
    return os.str();
}

// The folder of a part name ("xl/workbook.xml" -> "xl/").
std::string partFolder(std::string_view part) {
    size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string relsPartOf(std::string_view part) {
    size_t slash = part.rfind('/');
    std::string_view folder = slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
    std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

// A relationship target relative to the folder of its source part.
std::string resolveTarget(std::string_view folder, std::string_view target) {
    std::string joined = !target.empty() && target[0] == '/' ? std::string(target.substr(1))
                                                              : std::string(folder) + std::string(target);
    std::vector<std::string> segments;
    std::stringstream ss(joined);
    std::string seg;
    while (std::getline(ss, seg, '/')) {
        if (seg.empty() || seg == ".") continue;
        if (seg == "..") {
            if (!segments.empty()) segments.pop_back();
            continue;
        }
        segments.push_back(seg);
    }
    std::string out;
    for (const auto& s : segments) out += (out.empty() ? "" : "/") + s;
    return out;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// A style entry (font, border, cell format) written so that two entries
// that mean the same compare equal: attributes and child elements sorted.
std::string canonical(pugi::xml_node node) {
    std::vector<std::string> attributes, elements;
    for (pugi::xml_attribute a : node.attributes()) attributes.push_back(std::string(a.name()) + "=" + a.value());
    for (pugi::xml_node c : node.children()) {
        if (c.type() == pugi::node_element) elements.push_back(canonical(c));
    }
    std::sort(attributes.begin(), attributes.end());
    std::sort(elements.begin(), elements.end());
    std::string out(localName(node.name()));
    for (const auto& a : attributes) out += " " + a;
    out += "{";
    for (const auto& e : elements) out += e + ";";
    out += node.child_value();
    return out + "}";
}

std::string numberText(double value) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, end);
}

// Column widths are stored in the file as the characters of the standard
// font's digits (7 pixels wide) plus 5 pixels of cell padding.
constexpr double kDigitPixels = 7;
constexpr double kPaddingPixels = 5;

double fileColumnWidth(double characters) {
    return std::floor((characters * kDigitPixels + kPaddingPixels) / kDigitPixels * 256) / 256;
}

double columnCharacters(double fileWidth) {
    double characters = (fileWidth * kDigitPixels - kPaddingPixels) / kDigitPixels;
    return std::max(0.0, std::round(characters * 100) / 100);
}

bool isThinEdge(pugi::xml_node border, std::string_view side, std::string_view alternative) {
    pugi::xml_node edge = child(border, side);
    if (!edge) edge = child(border, alternative);
    return edge && std::string_view(edge.attribute("style").value()) == "thin";
}

const char* const kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
    R"(</Types>)";

const char* const kPackageRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";

const char* const kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Лист1" sheetId="1" r:id="rId1"/></sheets></workbook>)";

const char* const kWorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

const char* const kSheet =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<dimension ref="A1"/><sheetData/></worksheet>)";

const char* const kStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="10"/><name val="Arial"/><family val="2"/><charset val="204"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

}  // namespace

struct XlsxWorkbook::Impl {
    struct Part {
        std::string name;
        std::string data;
    };
    std::vector<Part> parts;

    std::string workbookPart, sheetPart, stylesPart, calcChainPart;
    pugi::xml_document workbook, workbookRels, contentTypes, sheet, styles;
    std::vector<std::string> sharedStrings;

    pugi::xml_node sheetData;
    std::map<int, pugi::xml_node> rows;
    std::vector<pugi::xml_node> xfs, borders, fonts;
    std::map<int, int> borderedXf;  // style -> the same style with thin borders
    // (style, what was asked) -> the combined style
    std::map<std::tuple<int, bool, double, bool, bool, int>, int> styledXf;

    Part* findPart(std::string_view name) {
        for (auto& p : parts) {
            if (equalsIgnoreAsciiCase(p.name, name)) return &p;
        }
        return nullptr;
    }

    bool parse(std::string_view name, pugi::xml_document& doc, std::string& error) {
        Part* p = findPart(name);
        if (!p) {
            error = "нет части " + std::string(name);
            return false;
        }
        pugi::xml_parse_result r =
            doc.load_buffer(p->data.data(), p->data.size(), pugi::parse_default | pugi::parse_declaration);
        if (!r) {
            error = std::string(name) + ": " + r.description();
            return false;
        }
        return true;
    }

    // Target of the first relationship of `rels` whose type ends with `typeTail`.
    static std::string targetOf(const pugi::xml_document& rels, std::string_view folder, std::string_view typeTail,
                                std::string_view id = {}) {
        for (pugi::xml_node rel : children(rels.document_element(), "Relationship")) {
            bool match = id.empty() ? endsWith(rel.attribute("Type").value(), typeTail)
                                    : std::string_view(rel.attribute("Id").value()) == id;
            if (match) return resolveTarget(folder, rel.attribute("Target").value());
        }
        return {};
    }

    bool open(std::string& error) {
        pugi::xml_document packageRels;
        if (!parse("_rels/.rels", packageRels, error) || !parse("[Content_Types].xml", contentTypes, error))
            return false;
        workbookPart = targetOf(packageRels, "", kRelOfficeDocument);
        if (workbookPart.empty()) {
            error = "не указана книга";
            return false;
        }
        if (!parse(workbookPart, workbook, error) || !parse(relsPartOf(workbookPart), workbookRels, error))
            return false;
        std::string folder = partFolder(workbookPart);

        // The active sheet is where the spreadsheet program puts typed values.
        pugi::xml_node wb = workbook.document_element();
        std::vector<pugi::xml_node> sheets = children(child(wb, "sheets"), "sheet");
        if (sheets.empty()) {
            error = "в книге нет листов";
            return false;
        }
        size_t active = static_cast<size_t>(std::max(0, intAttr(child(child(wb, "bookViews"), "workbookView"),
                                                                "activeTab")));
        if (active >= sheets.size()) active = 0;
        sheetPart = targetOf(workbookRels, folder, "", relationshipId(sheets[active]));
        if (sheetPart.empty() || !parse(sheetPart, sheet, error)) {
            if (error.empty()) error = "не найден лист книги";
            return false;
        }
        sheetData = child(sheet.document_element(), "sheetData");
        if (!sheetData) {
            error = "активный лист книги не является таблицей";
            return false;
        }
        if (!indexRows(error)) return false;

        stylesPart = targetOf(workbookRels, folder, kRelStyles);
        if (!stylesPart.empty() && !parse(stylesPart, styles, error)) return false;
        calcChainPart = targetOf(workbookRels, folder, kRelCalcChain);
        std::string sstPart = targetOf(workbookRels, folder, kRelSharedStrings);
        if (!sstPart.empty()) {
            pugi::xml_document sst;
            if (!parse(sstPart, sst, error)) return false;
            for (pugi::xml_node si : children(sst.document_element(), "si")) sharedStrings.push_back(itemText(si));
        }
        indexStyles();
        return true;
    }

    // Text of a shared string item or an inline string: its own "t" or the
    // "t" of every run; phonetic hints are not part of the text.
    static std::string itemText(pugi::xml_node item) {
        if (pugi::xml_node t = child(item, "t")) return t.text().get();
        std::string out;
        for (pugi::xml_node r : children(item, "r")) out += child(r, "t").text().get();
        return out;
    }

    // Rows and cells may leave out their reference ("r"); it is filled in
    // from their position so every later lookup can rely on it.
    bool indexRows(std::string& error) {
        int lastRow = 0;
        for (pugi::xml_node row : children(sheetData, "row")) {
            int r = row.attribute("r") ? row.attribute("r").as_int() : lastRow + 1;
            if (r <= lastRow || r > kMaxRow) {
                error = "строки листа не по порядку";
                return false;
            }
            setAttr(row, "r", std::to_string(r));
            rows[r] = row;
            lastRow = r;
            int lastCol = 0;
            for (pugi::xml_node c : children(row, "c")) {
                int cr = r, cc = lastCol + 1;
                if (c.attribute("r") && (!parseCellRef(c.attribute("r").value(), cr, cc) || cr != r)) {
                    error = std::string("неверная ссылка на ячейку ") + c.attribute("r").value();
                    return false;
                }
                if (cc <= lastCol) {
                    error = "ячейки строки " + std::to_string(r) + " не по порядку";
                    return false;
                }
                setAttr(c, "r", cellRef(r, cc));
                lastCol = cc;
            }
        }
        return true;
    }

    void indexStyles() {
        pugi::xml_node root = styles.document_element();
        xfs = children(child(root, "cellXfs"), "xf");
        borders = children(child(root, "borders"), "border");
        fonts = children(child(root, "fonts"), "font");
    }

    static int columnOf(pugi::xml_node c) {
        int r = 0, col = 0;
        parseCellRef(c.attribute("r").value(), r, col);
        return col;
    }

    pugi::xml_node findCell(int row, int column) const {
        auto it = rows.find(row);
        if (it == rows.end()) return {};
        for (pugi::xml_node c : children(it->second, "c")) {
            if (columnOf(c) == column) return c;
        }
        return {};
    }

    // The style a cell shows before it exists: its row's, else its column's.
    int inheritedStyle(pugi::xml_node row, int column) const {
        if (row && truthy(row.attribute("customFormat"))) return intAttr(row, "s");
        return intAttr(columnEntry(column), "style");
    }

    pugi::xml_node rowForWriting(int row) {
        auto it = rows.lower_bound(row);
        if (it != rows.end() && it->first == row) return it->second;
        std::string name = qualified(sheetData, "row");
        pugi::xml_node rowNode = it == rows.end() ? sheetData.append_child(name.c_str())
                                                  : sheetData.insert_child_before(name.c_str(), it->second);
        rowNode.append_attribute("r") = row;
        rows[row] = rowNode;
        return rowNode;
    }

    pugi::xml_node cellForWriting(int row, int column) {
        pugi::xml_node rowNode = rowForWriting(row);
        pugi::xml_node before;
        for (pugi::xml_node c : children(rowNode, "c")) {
            int col = columnOf(c);
            if (col == column) return c;
            if (col > column) {
                before = c;
                break;
            }
        }
        // The span hint of the row would no longer cover the new cell.
        rowNode.remove_attribute("spans");
        std::string name = qualified(rowNode, "c");
        pugi::xml_node c = before ? rowNode.insert_child_before(name.c_str(), before) : rowNode.append_child(name.c_str());
        c.append_attribute("r") = cellRef(row, column).c_str();
        if (int s = inheritedStyle(rowNode, column)) c.append_attribute("s") = s;
        return c;
    }

    // Leaves the cell with its reference and style only.
    static void clearContent(pugi::xml_node c) {
        while (c.first_child()) c.remove_child(c.first_child());
        c.remove_attribute("t");
    }

    // `entry`, just appended to `list`, as an index into `entries`: an equal
    // earlier entry is taken instead and `entry` removed again.
    static int intern(pugi::xml_node list, std::vector<pugi::xml_node>& entries, pugi::xml_node entry) {
        const std::string key = canonical(entry);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (canonical(entries[i]) == key) {
                list.remove_child(entry);
                return static_cast<int>(i);
            }
        }
        entries.push_back(entry);
        setAttr(list, "count", std::to_string(entries.size()));
        return static_cast<int>(entries.size() - 1);
    }

    pugi::xml_node xfAt(int style) const {
        return style >= 0 && static_cast<size_t>(style) < xfs.size() ? xfs[style] : xfs[0];
    }

    bool hasCellStyles() const {
        pugi::xml_node root = styles.document_element();
        return !xfs.empty() && child(root, "borders") && child(root, "fonts");
    }

    // The font `fontId` made bold or resized as asked.
    int styledFont(int fontId, const CellStyle& want) {
        pugi::xml_node fontsNode = child(styles.document_element(), "fonts");
        pugi::xml_node base = fontId >= 0 && static_cast<size_t>(fontId) < fonts.size() ? fonts[fontId]
                              : fonts.empty()                                            ? pugi::xml_node()
                                                                                         : fonts[0];
        pugi::xml_node nf = base ? fontsNode.append_copy(base) : appendElement(fontsNode, "font");
        if (want.bold) {
            if (pugi::xml_node b = child(nf, "b")) {
                b.remove_attribute("val");
            } else {
                nf.prepend_child(qualified(nf, "b").c_str());
            }
        }
        if (want.fontSize > 0) {
            pugi::xml_node sz = child(nf, "sz");
            if (!sz) sz = appendElement(nf, "sz");
            setAttr(sz, "val", numberText(want.fontSize));
        }
        return intern(fontsNode, fonts, nf);
    }

    int styledStyle(int style, const CellStyle& want) {
        const auto key = std::make_tuple(style, want.bold, want.fontSize, want.wrap, want.centred, want.numFmtId);
        if (auto it = styledXf.find(key); it != styledXf.end()) return it->second;
        pugi::xml_node xf = xfAt(style);
        pugi::xml_node xfsNode = child(styles.document_element(), "cellXfs");
        pugi::xml_node nx = xfsNode.append_copy(xf);
        auto change = [&](const char* attribute, int value, const char* apply) {
            if (intAttr(nx, attribute) == value && nx.attribute(attribute)) return;
            setAttr(nx, attribute, std::to_string(value));
            setAttr(nx, apply, "1");
        };
        if (want.bold || want.fontSize > 0) change("fontId", styledFont(intAttr(xf, "fontId"), want), "applyFont");
        if (want.numFmtId >= 0) change("numFmtId", want.numFmtId, "applyNumberFormat");
        if (want.wrap || want.centred) {
            // The alignment comes first among the children of a cell format.
            pugi::xml_node alignment = child(nx, "alignment");
            if (!alignment) alignment = nx.prepend_child(qualified(nx, "alignment").c_str());
            if (want.centred) setAttr(alignment, "horizontal", "center");
            if (want.wrap) setAttr(alignment, "wrapText", "1");
            if (canonical(alignment) != canonical(child(xf, "alignment"))) setAttr(nx, "applyAlignment", "1");
        }
        int result = intern(xfsNode, xfs, nx);
        styledXf[key] = result;
        return result;
    }

    void styleCell(pugi::xml_node c, const CellStyle& want) {
        int style = intAttr(c, "s");
        int styled = styledStyle(style, want);
        if (styled != style) setAttr(c, "s", std::to_string(styled));
    }

    // Width `fileWidth` for the columns first..last: the column entries that
    // cover them are split where the range cuts them and keep their other
    // attributes; the entries stay in column order without overlapping.
    void setColumnWidth(int first, int last, double fileWidth) {
        pugi::xml_node root = sheet.document_element();
        std::vector<pugi::xml_node> colsNodes = children(root, "cols");
        pugi::xml_node colsNode = colsNodes.empty()
                                      ? root.insert_child_before(qualified(root, "cols").c_str(), sheetData)
                                      : colsNodes[0];
        std::vector<pugi::xml_node> originals, entries;
        std::vector<std::pair<int, int>> covered;
        auto copyOf = [&](pugi::xml_node from, int min, int max) {
            pugi::xml_node n = colsNode.append_copy(from);
            setAttr(n, "min", std::to_string(min));
            setAttr(n, "max", std::to_string(max));
            entries.push_back(n);
            return n;
        };
        auto widen = [&](pugi::xml_node n) {
            setAttr(n, "width", numberText(fileWidth));
            setAttr(n, "customWidth", "1");
        };
        for (pugi::xml_node cols : colsNodes) {
            for (pugi::xml_node col : children(cols, "col")) {
                originals.push_back(col);
                int min = intAttr(col, "min"), max = intAttr(col, "max");
                if (max < first || min > last) {
                    copyOf(col, min, max);
                    continue;
                }
                if (min < first) copyOf(col, min, first - 1);
                const int lo = std::max(min, first), hi = std::min(max, last);
                widen(copyOf(col, lo, hi));
                covered.emplace_back(lo, hi);
                if (max > last) copyOf(col, last + 1, max);
            }
        }
        std::sort(covered.begin(), covered.end());
        int next = first;
        auto addGap = [&](int to) {
            if (next > to) return;
            pugi::xml_node n = appendElement(colsNode, "col");
            n.append_attribute("min") = next;
            n.append_attribute("max") = to;
            widen(n);
            entries.push_back(n);
        };
        for (const auto& [lo, hi] : covered) {
            addGap(lo - 1);
            next = std::max(next, hi + 1);
        }
        addGap(last);
        for (pugi::xml_node o : originals) o.parent().remove_child(o);
        for (size_t i = 1; i < colsNodes.size(); ++i) root.remove_child(colsNodes[i]);
        std::stable_sort(entries.begin(), entries.end(),
                         [](pugi::xml_node a, pugi::xml_node b) { return intAttr(a, "min") < intAttr(b, "min"); });
        for (pugi::xml_node e : entries) colsNode.append_move(e);
    }

    pugi::xml_node columnEntry(int column) const {
        for (pugi::xml_node cols : children(sheet.document_element(), "cols")) {
            for (pugi::xml_node col : children(cols, "col")) {
                if (intAttr(col, "min") <= column && column <= intAttr(col, "max")) return col;
            }
        }
        return {};
    }

    int borderedStyle(int style) {
        if (auto it = borderedXf.find(style); it != borderedXf.end()) return it->second;
        pugi::xml_node xf = xfAt(style);
        int borderId = intAttr(xf, "borderId");
        pugi::xml_node old = borderId >= 0 && static_cast<size_t>(borderId) < borders.size() ? borders[borderId]
                                                                                            : pugi::xml_node();
        int result = style;
        if (!(old && isThinEdge(old, "left", "start") && isThinEdge(old, "right", "end") &&
              isThinEdge(old, "top", "top") && isThinEdge(old, "bottom", "bottom"))) {
            pugi::xml_node bordersNode = child(styles.document_element(), "borders");
            pugi::xml_node nb = appendElement(bordersNode, "border");
            if (old) {
                for (pugi::xml_attribute a : old.attributes()) nb.append_attribute(a.name()) = a.value();
            }
            for (const char* side : {"left", "right", "top", "bottom"}) {
                pugi::xml_node edge = appendElement(nb, side);
                edge.append_attribute("style") = "thin";
                // Indexed colour 64 is the system foreground: automatic.
                appendElement(edge, "color").append_attribute("indexed") = 64;
            }
            if (old) {
                for (pugi::xml_node c : old.children()) {
                    std::string_view n = localName(c.name());
                    if (n != "left" && n != "start" && n != "right" && n != "end" && n != "top" && n != "bottom")
                        nb.append_copy(c);
                }
            }
            const int newBorder = intern(bordersNode, borders, nb);

            pugi::xml_node xfsNode = child(styles.document_element(), "cellXfs");
            pugi::xml_node nx = xfsNode.append_copy(xf);
            setAttr(nx, "borderId", std::to_string(newBorder));
            setAttr(nx, "applyBorder", "1");
            result = intern(xfsNode, xfs, nx);
        }
        borderedXf[style] = result;
        return result;
    }

    void updateDimension() {
        pugi::xml_node dim = child(sheet.document_element(), "dimension");
        if (!dim) return;
        int minCol = 0, maxCol = 0, minRow = 0, maxRow = 0;
        for (const auto& [r, row] : rows) {
            for (pugi::xml_node c : children(row, "c")) {
                int col = columnOf(c);
                if (minRow == 0) minRow = r;
                maxRow = r;
                if (minCol == 0 || col < minCol) minCol = col;
                if (col > maxCol) maxCol = col;
            }
        }
        std::string ref = minRow == 0 ? "A1" : cellRef(minRow, minCol);
        if (minRow != 0 && (maxRow != minRow || maxCol != minCol)) ref += ":" + cellRef(maxRow, maxCol);
        setAttr(dim, "ref", ref);
    }

    // Values written here may feed formulas of the template: the calculation
    // chain is dropped and the reader asked to recalculate on opening.
    void prepareRecalculation() {
        if (!calcChainPart.empty()) {
            std::erase_if(parts, [&](const Part& p) { return equalsIgnoreAsciiCase(p.name, calcChainPart); });
            for (pugi::xml_node o : children(contentTypes.document_element(), "Override")) {
                if (equalsIgnoreAsciiCase(o.attribute("PartName").value(), "/" + calcChainPart))
                    contentTypes.document_element().remove_child(o);
            }
            for (pugi::xml_node rel : children(workbookRels.document_element(), "Relationship")) {
                if (endsWith(rel.attribute("Type").value(), kRelCalcChain))
                    workbookRels.document_element().remove_child(rel);
            }
            calcChainPart.clear();
        }
        pugi::xml_node wb = workbook.document_element();
        pugi::xml_node calcPr = child(wb, "calcPr");
        if (!calcPr) {
            pugi::xml_node after;
            for (const char* name : {"sheets", "functionGroups", "externalReferences", "definedNames"}) {
                if (pugi::xml_node n = child(wb, name)) after = n;
            }
            std::string qname = qualified(wb, "calcPr");
            calcPr = after ? wb.insert_child_after(qname.c_str(), after) : wb.append_child(qname.c_str());
        }
        setAttr(calcPr, "fullCalcOnLoad", "1");
    }

    void storeDocuments() {
        updateDimension();
        prepareRecalculation();
        auto store = [&](const std::string& name, const pugi::xml_document& doc) {
            if (Part* p = findPart(name)) p->data = serialize(doc);
        };
        store("[Content_Types].xml", contentTypes);
        store(workbookPart, workbook);
        store(relsPartOf(workbookPart), workbookRels);
        store(sheetPart, sheet);
        if (!stylesPart.empty()) store(stylesPart, styles);
    }
};

XlsxWorkbook::XlsxWorkbook() : impl_(std::make_unique<Impl>()) {}
XlsxWorkbook::~XlsxWorkbook() = default;
XlsxWorkbook::XlsxWorkbook(XlsxWorkbook&&) noexcept = default;
XlsxWorkbook& XlsxWorkbook::operator=(XlsxWorkbook&&) noexcept = default;

XlsxWorkbook XlsxWorkbook::createNew() {
    XlsxWorkbook book;
    book.impl_->parts = {{"[Content_Types].xml", kContentTypes},
                         {"_rels/.rels", kPackageRels},
                         {"xl/workbook.xml", kWorkbook},
                         {"xl/_rels/workbook.xml.rels", kWorkbookRels},
                         {"xl/worksheets/sheet1.xml", kSheet},
                         {"xl/styles.xml", kStyles}};
    std::string error;
    book.impl_->open(error);  // the parts above are well-formed
    return book;
}

Status XlsxWorkbook::load(const fs::path& path, XlsxWorkbook& out) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return Status::fail(ErrorKind::NotFound, "Не найден файл " + path.string());
    }
    auto unreadable = [&](const std::string& reason) {
        return Status::fail(ErrorKind::Damaged,
                            "Файл " + path.string() + " не читается как книга Excel (.xlsx): " + reason);
    };
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!za) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, err);
        std::string reason = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        return unreadable(reason);
    }
    XlsxWorkbook book;
    zip_uint64_t total = 0;
    zip_int64_t n = zip_get_num_entries(za, 0);
    std::string reason;
    for (zip_int64_t i = 0; i < n && reason.empty(); ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE)) {
            reason = zip_strerror(za);
            break;
        }
        std::string name = st.name;
        if (!name.empty() && name.back() == '/') continue;
        total += st.size;
        if (total > kMaxUnpackedBytes) {
            reason = "слишком большой файл";
            break;
        }
        zip_file_t* zf = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
        if (!zf) {
            reason = zip_strerror(za);
            break;
        }
        std::string data(st.size, '\0');
        zip_int64_t got = zip_fread(zf, data.data(), st.size);
        if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) reason = zip_file_strerror(zf);
        zip_fclose(zf);
        book.impl_->parts.push_back({std::move(name), std::move(data)});
    }
    zip_discard(za);
    if (reason.empty()) book.impl_->open(reason);
    if (!reason.empty()) return unreadable(reason);
    out = std::move(book);
    return Status::ok();
}

Status XlsxWorkbook::save(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    impl_->storeDocuments();
    fs::path temp = path;
    temp += "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    auto failed = [&](const std::string& reason) {
        std::error_code ec;
        fs::remove(temp, ec);
        return Status::fail(ErrorKind::Io, "Не удалось записать файл " + path.string() + ": " + reason);
    };
    int err = 0;
    zip_t* za = zip_open(temp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, err);
        std::string reason = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        return failed(reason);
    }
    for (const auto& p : impl_->parts) {
        zip_source_t* src = zip_source_buffer(za, p.data.data(), p.data.size(), 0);
        if (!src || zip_file_add(za, p.name.c_str(), src, ZIP_FL_ENC_UTF_8) < 0) {
            std::string reason = zip_strerror(za);
            if (src) zip_source_free(src);
            zip_discard(za);
            return failed(reason);
        }
    }
    if (zip_close(za) != 0) {
        std::string reason = zip_strerror(za);
        zip_discard(za);
        return failed(reason);
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) return failed(ec.message());
    return Status::ok();
}

Status XlsxWorkbook::setNumber(int row, int column, double value) {
    if (!validCell(row, column)) return badCell(row, column);
    if (!std::isfinite(value)) return Status::fail(ErrorKind::Invalid, "Значение не является числом");
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    pugi::xml_node c = impl_->cellForWriting(row, column);
    Impl::clearContent(c);
    appendElement(c, "v").text().set(std::string(buf, end).c_str());
    return Status::ok();
}

Status XlsxWorkbook::setText(int row, int column, std::string_view text) {
    if (!validCell(row, column)) return badCell(row, column);
    pugi::xml_node c = impl_->cellForWriting(row, column);
    Impl::clearContent(c);
    std::string safe = xmlSafe(text);
    if (safe.empty()) return Status::ok();
    setAttr(c, "t", "inlineStr");
    pugi::xml_node t = appendElement(appendElement(c, "is"), "t");
    if (!safe.empty() && (std::isspace(static_cast<unsigned char>(safe.front())) ||
                          std::isspace(static_cast<unsigned char>(safe.back()))))
        t.append_attribute("xml:space") = "preserve";
    t.text().set(safe.c_str());
    return Status::ok();
}

Status XlsxWorkbook::addBorders(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    if (Status st = checkRectangle(firstRow, firstColumn, lastRow, lastColumn); !st) return st;
    if (!impl_->hasCellStyles()) return noCellStyles();
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int col = firstColumn; col <= lastColumn; ++col) {
            pugi::xml_node c = impl_->cellForWriting(r, col);
            int style = intAttr(c, "s");
            int bordered = impl_->borderedStyle(style);
            if (bordered != style) setAttr(c, "s", std::to_string(bordered));
        }
    }
    return Status::ok();
}

Status XlsxWorkbook::styleCells(int firstRow, int firstColumn, int lastRow, int lastColumn, const CellStyle& style) {
    if (Status st = checkRectangle(firstRow, firstColumn, lastRow, lastColumn); !st) return st;
    if (!impl_->hasCellStyles()) return noCellStyles();
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int col = firstColumn; col <= lastColumn; ++col) impl_->styleCell(impl_->cellForWriting(r, col), style);
    }
    return Status::ok();
}

Status XlsxWorkbook::styleRows(int firstRow, int lastRow, const CellStyle& style) {
    if (!validCell(firstRow, 1)) return badCell(firstRow, 1);
    if (!validCell(lastRow, 1)) return badCell(lastRow, 1);
    if (!impl_->hasCellStyles()) return noCellStyles();
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    for (int r = firstRow; r <= lastRow; ++r) {
        pugi::xml_node row = impl_->rowForWriting(r);
        int own = truthy(row.attribute("customFormat")) ? intAttr(row, "s") : 0;
        setAttr(row, "s", std::to_string(impl_->styledStyle(own, style)));
        setAttr(row, "customFormat", "1");
        for (pugi::xml_node c : children(row, "c")) impl_->styleCell(c, style);
    }
    return Status::ok();
}

Status XlsxWorkbook::setColumnWidth(int firstColumn, int lastColumn, double characters) {
    if (!validCell(1, firstColumn)) return badCell(1, firstColumn);
    if (!validCell(1, lastColumn)) return badCell(1, lastColumn);
    if (!(characters > 0 && characters <= 255))
        return Status::fail(ErrorKind::Invalid, "Неверная ширина столбца: " + numberText(characters));
    if (firstColumn > lastColumn) std::swap(firstColumn, lastColumn);
    impl_->setColumnWidth(firstColumn, lastColumn, fileColumnWidth(characters));
    return Status::ok();
}

Status XlsxWorkbook::setRowHeight(int firstRow, int lastRow, double points) {
    if (!validCell(firstRow, 1)) return badCell(firstRow, 1);
    if (!validCell(lastRow, 1)) return badCell(lastRow, 1);
    if (!(points > 0 && points <= kMaxRowHeight))
        return Status::fail(ErrorKind::Invalid, "Неверная высота строки: " + numberText(points));
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    for (int r = firstRow; r <= lastRow; ++r) {
        pugi::xml_node row = impl_->rowForWriting(r);
        setAttr(row, "ht", numberText(points));
        setAttr(row, "customHeight", "1");
    }
    return Status::ok();
}

double XlsxWorkbook::rowHeight(int row) const {
    auto it = impl_->rows.find(row);
    if (it == impl_->rows.end() || !truthy(it->second.attribute("customHeight"))) return 0;
    return it->second.attribute("ht").as_double();
}

CellValue XlsxWorkbook::value(int row, int column) const {
    CellValue out;
    pugi::xml_node c = impl_->findCell(row, column);
    if (!c) return out;
    std::string_view type = c.attribute("t").value();
    pugi::xml_node v = child(c, "v");
    if (type == "inlineStr") {
        out.kind = CellKind::Text;
        out.text = Impl::itemText(child(c, "is"));
    } else if (type == "s") {
        size_t index = static_cast<size_t>(v.text().as_ullong());
        out.kind = CellKind::Text;
        if (v && index < impl_->sharedStrings.size()) out.text = impl_->sharedStrings[index];
    } else if (type == "str") {
        out.kind = CellKind::Text;
        out.text = v.text().get();
    } else if (type.empty() || type == "n") {
        if (v) {
            out.kind = CellKind::Number;
            out.number = v.text().as_double();
        }
    } else {
        out.kind = CellKind::Other;
    }
    return out;
}

CellFormat XlsxWorkbook::format(int row, int column) const {
    CellFormat out;
    pugi::xml_node c = impl_->findCell(row, column);
    auto it = impl_->rows.find(row);
    out.styleIndex = c ? intAttr(c, "s") : impl_->inheritedStyle(it == impl_->rows.end() ? pugi::xml_node() : it->second,
                                                                 column);
    if (out.styleIndex < 0 || static_cast<size_t>(out.styleIndex) >= impl_->xfs.size()) return out;
    pugi::xml_node xf = impl_->xfs[out.styleIndex];
    out.numFmtId = intAttr(xf, "numFmtId");
    out.fontId = intAttr(xf, "fontId");
    out.fillId = intAttr(xf, "fillId");
    int borderId = intAttr(xf, "borderId");
    if (borderId >= 0 && static_cast<size_t>(borderId) < impl_->borders.size()) {
        pugi::xml_node b = impl_->borders[borderId];
        out.thinLeft = isThinEdge(b, "left", "start");
        out.thinRight = isThinEdge(b, "right", "end");
        out.thinTop = isThinEdge(b, "top", "top");
        out.thinBottom = isThinEdge(b, "bottom", "bottom");
    }
    int fontId = out.fontId;
    if (fontId >= 0 && static_cast<size_t>(fontId) < impl_->fonts.size()) {
        pugi::xml_node font = impl_->fonts[fontId];
        pugi::xml_node b = child(font, "b");
        out.bold = b && (!b.attribute("val") || truthy(b.attribute("val")));
        out.fontSize = child(font, "sz").attribute("val").as_double();
    }
    pugi::xml_node alignment = child(xf, "alignment");
    out.wrap = truthy(alignment.attribute("wrapText"));
    out.centred = std::string_view(alignment.attribute("horizontal").value()) == "center";
    return out;
}

double XlsxWorkbook::columnWidth(int column) const {
    pugi::xml_attribute width = impl_->columnEntry(column).attribute("width");
    return width ? columnCharacters(width.as_double()) : 0;
}

}  // namespace tavir::platform
