#include "import/poetryimporter.h"

#include "import/jsonreader.h"
#include "import/jsonvalue.h"
#include "platform/atomicfile.h"
#include "platform/stagingfolder.h"
#include "text/codeconverter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

const char* const CPoetryImporter::MarkerFile = ".tessaline-poetry";

namespace {

constexpr size_t MaxNameUnits = 80;

std::string Utf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) CCodeConverter::AppendUtf8(c, out);
    return out;
}

std::string Numbered(size_t n, int nWidth, const std::string& strName) {
    char szNumber[32];
    std::snprintf(szNumber, sizeof szNumber, "%0*zu", nWidth, n);
    return std::string(szNumber) + " " + strName;
}

bool IsAllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Numbers as digit strings: shorter is smaller, then by digits.
bool NumberLess(const std::string& a, const std::string& b) {
    const std::string x = a.substr(std::min(a.find_first_not_of('0'), a.size()));
    const std::string y = b.substr(std::min(b.find_first_not_of('0'), b.size()));
    return x.size() != y.size() ? x.size() < y.size() : x < y;
}

// Decodes the entity at text[i] ('&'); on success sets c and nEnd (index of
// its ';').
bool DecodeEntity(const std::u32string& text, size_t i, char32_t& c, size_t& nEnd) {
    const size_t nSemi = text.find(U';', i + 1);
    if (nSemi == std::u32string::npos || nSemi - i > 10 || nSemi == i + 1) return false;
    const std::u32string name = text.substr(i + 1, nSemi - i - 1);
    static const struct {
        const char32_t* pszName;
        char32_t c;
    } kNamed[] = {{U"amp", U'&'}, {U"lt", U'<'}, {U"gt", U'>'}, {U"quot", U'"'}, {U"apos", U'\''}, {U"nbsp", U' '}};
    for (const auto& named : kNamed) {
        if (name == named.pszName) {
            c = named.c;
            nEnd = nSemi;
            return true;
        }
    }
    if (name[0] != U'#' || name.size() < 2) return false;
    const bool bHex = name[1] == U'x' || name[1] == U'X';
    const size_t nFirst = bHex ? 2 : 1;
    if (nFirst >= name.size() || name.size() - nFirst > 7) return false;
    uint32_t nValue = 0;
    for (size_t k = nFirst; k < name.size(); ++k) {
        const char32_t d = name[k];
        uint32_t nDigit;
        if (d >= U'0' && d <= U'9')
            nDigit = d - U'0';
        else if (bHex && d >= U'a' && d <= U'f')
            nDigit = d - U'a' + 10;
        else if (bHex && d >= U'A' && d <= U'F')
            nDigit = d - U'A' + 10;
        else
            return false;
        nValue = nValue * (bHex ? 16 : 10) + nDigit;
    }
    if (nValue == 0 || nValue > 0x10FFFF || (nValue >= 0xD800 && nValue <= 0xDFFF)) return false;
    c = nValue;
    nEnd = nSemi;
    return true;
}

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// ----- reading the package's JSON -----

// Reads strPath, whose top level must be a list (or, with bAllowObject, an
// object, taken as a list of one); items point into root.
bool ReadList(const std::string& strPath, CJsonValue& root, std::vector<const CJsonValue*>& items, bool bAllowObject,
              std::string& strError) {
    items.clear();
    if (!CJsonReader::ParseFile(strPath, root, strError)) return false;
    if (root.IsObject() && bAllowObject) {
        items.push_back(&root);
        return true;
    }
    if (!root.IsArray()) {
        strError = strPath + ": expected a list of items, found " + CJsonValue::TypeName(root.GetType());
        return false;
    }
    for (size_t i = 0; i < root.Items().size(); ++i) {
        const CJsonValue& item = root.Items()[i];
        if (!item.IsObject()) {
            strError = strPath + ": item " + std::to_string(i + 1) + " is " + CJsonValue::TypeName(item.GetType()) +
                       ", not an object";
            return false;
        }
        items.push_back(&item);
    }
    return true;
}

// A member that holds text: missing or null gives "" (an error when
// required); otherwise it must be a string. The text is cleaned.
bool GetText(const CJsonValue& item, const char* pszKey, bool bRequired, std::string& strOut, const std::string& strWhere,
             std::string& strError) {
    strOut.clear();
    const CJsonValue* pValue = item.Find(pszKey);
    if (!pValue || pValue->IsNull()) {
        if (!bRequired) return true;
        strError = strWhere + ": no \"" + pszKey + "\"";
        return false;
    }
    if (!pValue->IsString()) {
        strError = strWhere + ": \"" + pszKey + "\" is " + CJsonValue::TypeName(pValue->GetType()) + ", not a string";
        return false;
    }
    strOut = CPoetryImporter::CleanText(pValue->GetText());
    return true;
}

// A member that holds lines: a list of strings (a lone string is one line);
// missing or null gives none (an error when required). Lines are cleaned;
// empty ones dropped.
bool GetLines(const CJsonValue& item, const char* pszKey, bool bRequired, std::vector<std::string>& lines,
              const std::string& strWhere, std::string& strError) {
    lines.clear();
    const CJsonValue* pValue = item.Find(pszKey);
    if (!pValue || pValue->IsNull()) {
        if (!bRequired) return true;
        strError = strWhere + ": no \"" + pszKey + "\"";
        return false;
    }
    auto add = [&lines](const std::string& strText) {
        std::string strLine = CPoetryImporter::CleanText(strText);
        if (!strLine.empty()) lines.push_back(std::move(strLine));
    };
    if (pValue->IsString()) {
        add(pValue->GetText());
        return true;
    }
    if (!pValue->IsArray()) {
        strError = strWhere + ": \"" + pszKey + "\" is " + CJsonValue::TypeName(pValue->GetType()) + ", not a list of strings";
        return false;
    }
    for (size_t i = 0; i < pValue->Items().size(); ++i) {
        const CJsonValue& line = pValue->Items()[i];
        if (line.IsNull()) continue;
        if (!line.IsString()) {
            strError = strWhere + ": \"" + pszKey + "\" entry " + std::to_string(i + 1) + " is " +
                       CJsonValue::TypeName(line.GetType()) + ", not a string";
            return false;
        }
        add(line.GetText());
    }
    return true;
}

// The body of a piece: "paragraphs", or "content" in the older files.
bool GetBody(const CJsonValue& item, std::vector<std::string>& lines, const std::string& strWhere, std::string& strError) {
    const char* pszKey = item.Find("paragraphs") ? "paragraphs" : "content";
    if (!item.Find(pszKey)) {
        strError = strWhere + ": no \"paragraphs\"";
        return false;
    }
    return GetLines(item, pszKey, true, lines, strWhere, strError);
}

std::string ItemWhere(const std::string& strPath, size_t i) { return strPath + ": item " + std::to_string(i + 1); }

// Author name -> biography from an author file (a list of objects with
// "name" and strTextKey). A name given twice with different texts gets
// none: the piece cannot tell which author it is.
bool ReadBiographies(const std::string& strPath, const char* pszTextKey,
                     std::unordered_map<std::string, std::string>& biographies, std::string& strError) {
    biographies.clear();
    CJsonValue root;
    std::vector<const CJsonValue*> items;
    if (!ReadList(strPath, root, items, false, strError)) return false;
    std::unordered_set<std::string> ambiguous;
    for (size_t i = 0; i < items.size(); ++i) {
        std::string strName, strText;
        if (!GetText(*items[i], "name", true, strName, ItemWhere(strPath, i), strError)) return false;
        if (!GetText(*items[i], pszTextKey, false, strText, ItemWhere(strPath, i), strError)) return false;
        if (strName.empty() || strText.empty() || ambiguous.count(strName)) continue;
        auto it = biographies.find(strName);
        if (it == biographies.end()) {
            biographies.emplace(strName, strText);
        } else if (it->second != strText) {
            biographies.erase(it);
            ambiguous.insert(strName);
        }
    }
    return true;
}

// The files of a folder whose names start with strPrefix and end with
// ".json", ordered by the part between: numbers first, by value, then the
// rest by name. False with strError when the folder cannot be read.
bool ListJson(const std::string& strFolder, const std::string& strPrefix, std::vector<std::string>& files,
              std::string& strError) {
    files.clear();
    std::vector<std::string> stems;
    std::error_code ec;
    fs::directory_iterator it(strFolder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string strName = it->path().filename().string();
        if (strName.size() <= strPrefix.size() + 5 || strName.compare(0, strPrefix.size(), strPrefix) != 0 ||
            strName.compare(strName.size() - 5, 5, ".json") != 0)
            continue;
        std::error_code ecType;
        if (!fs::is_regular_file(it->path(), ecType)) continue;
        stems.push_back(strName.substr(strPrefix.size(), strName.size() - strPrefix.size() - 5));
    }
    if (ec) {
        strError = strFolder + ": cannot read the folder (" + ec.message() + ")";
        return false;
    }
    std::sort(stems.begin(), stems.end(), [](const std::string& a, const std::string& b) {
        const bool bA = IsAllDigits(a), bB = IsAllDigits(b);
        if (bA != bB) return bA;
        return bA ? NumberLess(a, b) : a < b;
    });
    for (const std::string& strStem : stems) files.push_back(strFolder + "/" + strPrefix + strStem + ".json");
    if (files.empty()) {
        strError = strFolder + ": no files " + strPrefix + "*.json";
        return false;
    }
    return true;
}

bool MakeFolder(const std::string& strPath, std::string& strError) {
    std::error_code ec;
    if (!fs::create_directory(strPath, ec) || ec) {
        strError = strPath + ": cannot create the folder" + (ec ? " (" + ec.message() + ")" : std::string(" (it exists)"));
        return false;
    }
    return true;
}

// Whether a text holds a word at all: some author records hold only "--".
bool HasWords(const std::string& strText) {
    for (char32_t c : CCodeConverter::Utf8ToUtf32(strText)) {
        if ((c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z')) return true;
        if ((c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF)) return true;
    }
    return false;
}

size_t VisibleChars(const std::string& strLine) {
    size_t n = 0;
    const std::u32string line = CCodeConverter::Utf8ToUtf32(strLine);
    for (size_t i = line.compare(0, 2, U"# ") == 0 ? 2 : 0; i < line.size(); ++i)
        if (line[i] != U'{' && line[i] != U'}') ++n;
    return n;
}

}  // namespace

// ----- text -----

std::string CPoetryImporter::CleanText(const std::string& strText) {
    const std::u32string text = CCodeConverter::Utf8ToUtf32(strText);
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        size_t nEnd;
        if (c == U'&' && DecodeEntity(text, i, c, nEnd)) i = nEnd;
        if (IsControl(c) || c == 0xA0) {
            // A run of line breaks and the like is one space.
            if (!out.empty() && out.back() != U' ') out.push_back(U' ');
            continue;
        }
        switch (c) {
        case 0xFEFF: continue;
        case U'{': c = U'｛'; break;
        case U'}': c = U'｝'; break;
        case U'#': c = U'＃'; break;
        default: break;
        }
        out.push_back(c);
    }
    const size_t nFirst = out.find_first_not_of(U' ');
    if (nFirst == std::u32string::npos) return std::string();
    const size_t nLast = out.find_last_not_of(U' ');
    return Utf8(out.substr(nFirst, nLast - nFirst + 1));
}

std::string CPoetryImporter::CleanName(const std::string& strName) {
    std::u32string name = CCodeConverter::Utf8ToUtf32(CleanText(strName));
    size_t nUnits = 0;
    size_t nKeep = 0;
    for (; nKeep < name.size(); ++nKeep) {
        nUnits += name[nKeep] > 0xFFFF ? 2 : 1;
        if (nUnits > MaxNameUnits) break;
    }
    name.resize(nKeep);
    for (char32_t& c : name)
        if (c == U'/') c = U'／';
    if (!name.empty() && name[0] == U'.') name[0] = U'．';
    while (!name.empty() && name.back() == U' ') name.pop_back();
    return Utf8(name);
}

std::string CPoetryImporter::ChineseNumber(size_t n) {
    static const char* const kDigits[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    static const char* const kUnits[] = {"", "十", "百", "千"};
    if (n == 0) return kDigits[0];
    if (n >= 10000) return std::to_string(n);
    const size_t digits[4] = {n / 1000, n / 100 % 10, n / 10 % 10, n % 10};
    std::string out;
    bool bZero = false;  // a zero waits to be written before the next digit
    bool bStarted = false;
    for (int i = 0; i < 4; ++i) {
        const size_t d = digits[i];
        if (d == 0) {
            bZero = bStarted;
            continue;
        }
        if (bZero) out += kDigits[0];
        bZero = false;
        // Ten to nineteen are 十, 十一 …, not 一十.
        if (!(d == 1 && i == 2 && !bStarted)) out += kDigits[d];
        out += kUnits[3 - i];
        bStarted = true;
    }
    return out;
}

// ----- writing the source folder -----

bool CPoetryImporter::BeginCategory(const std::string& strName, std::string& strError) {
    ++m_nCategories;
    m_nBooks = 0;
    m_strCategoryDir = m_strStage + "/" + Numbered(m_nCategories, 2, strName);
    ++m_summary.categories;
    return MakeFolder(m_strCategoryDir, strError);
}

bool CPoetryImporter::BeginBook(const std::string& strName, std::string& strError) {
    ++m_nBooks;
    m_nVolumes = 0;
    m_nBookPages = 0;
    m_nVolumePieces = 0;
    m_strBookName = strName;
    m_authorsSeen.clear();
    m_strBookDir = m_strCategoryDir + "/" + Numbered(m_nBooks, 2, strName);
    return MakeFolder(m_strBookDir, strError);
}

bool CPoetryImporter::EndBook(std::string& strError) {
    if (m_nVolumes == 0) {
        strError = m_strPackage + ": the package holds no text for " + m_strBookName;
        return false;
    }
    ++m_summary.books;
    if (m_progress)
        m_progress(m_strBookName + ": " + std::to_string(m_nVolumes) + " volumes, " + std::to_string(m_nBookPages) +
                   " pages");
    return true;
}

void CPoetryImporter::AddLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    for (const std::string& strLine : lines) m_summary.characters += VisibleChars(strLine);
    m_packer.AddPiece(lines);
    ++m_nVolumePieces;
    ++m_summary.pieces;
}

void CPoetryImporter::AddPiece(const Piece& piece, const BiographyMap* pBiographies) {
    if (piece.paragraphs.empty() && piece.notes.empty() && piece.title.empty()) return;
    std::vector<std::string> lines;
    if (!piece.title.empty()) lines.push_back("# " + piece.title);
    std::string strBiography = piece.biography;
    const bool bFirst = !piece.author.empty() && m_authorsSeen.insert(piece.author).second;
    if (strBiography.empty() && bFirst && pBiographies) {
        auto it = pBiographies->find(piece.author);
        if (it != pBiographies->end()) strBiography = it->second;
    }
    std::string strAuthorLine = piece.author;
    if (HasWords(strBiography)) strAuthorLine += "{" + strBiography + "}";
    if (!strAuthorLine.empty()) lines.push_back(strAuthorLine);
    lines.insert(lines.end(), piece.paragraphs.begin(), piece.paragraphs.end());
    for (const std::string& strNote : piece.notes) lines.push_back("{" + strNote + "}");
    AddLines(lines);
}

bool CPoetryImporter::EndVolume(const std::string& strName, std::string& strError) {
    const std::vector<std::string> pages = m_packer.TakePages();
    m_nVolumePieces = 0;
    if (pages.empty()) return true;
    ++m_nVolumes;
    std::string strCleanName = CleanName(strName);
    if (strCleanName.empty()) strCleanName = "卷" + ChineseNumber(m_nVolumes);
    const std::string strFolder = m_strBookDir + "/" + Numbered(m_nVolumes, 3, strCleanName);
    if (!MakeFolder(strFolder, strError)) return false;
    for (size_t i = 0; i < pages.size(); ++i) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "/%04zu.txt", i + 1);
        if (!CAtomicFile::Write(strFolder + szName, pages[i], CAtomicFile::Mode::Staged, strError)) return false;
    }
    m_nBookPages += pages.size();
    ++m_summary.volumes;
    m_summary.pages += pages.size();
    return true;
}

// ----- the books -----

bool CPoetryImporter::ImportTang(std::string& strError) {
    std::vector<std::string> files;
    if (!ListJson(Dist("yudingquantangshi/json"), "", files, strError)) return false;
    for (const std::string& strFile : files) {
        const std::string strStem = fs::path(strFile).stem().string();
        if (!IsAllDigits(strStem)) {
            strError = strFile + ": not a volume file (volume files are named by their number, 001.json)";
            return false;
        }
        CJsonValue root;
        std::vector<const CJsonValue*> items;
        if (!ReadList(strFile, root, items, false, strError)) return false;
        std::string strVolume;
        for (size_t i = 0; i < items.size(); ++i) {
            const CJsonValue& item = *items[i];
            const std::string strWhere = ItemWhere(strFile, i);
            Piece piece;
            std::string strItemVolume;
            if (!GetText(item, "title", false, piece.title, strWhere, strError) ||
                !GetText(item, "author", false, piece.author, strWhere, strError) ||
                !GetText(item, "biography", false, piece.biography, strWhere, strError) ||
                !GetText(item, "volume", false, strItemVolume, strWhere, strError) ||
                !GetBody(item, piece.paragraphs, strWhere, strError) ||
                !GetLines(item, "notes", false, piece.notes, strWhere, strError))
                return false;
            if (strVolume.empty()) strVolume = strItemVolume;
            AddPiece(piece, nullptr);
        }
        if (strVolume.empty()) strVolume = "卷" + ChineseNumber(static_cast<size_t>(std::strtoul(strStem.c_str(), nullptr, 10)));
        if (!EndVolume(strVolume, strError)) return false;
    }
    return true;
}

bool CPoetryImporter::EndChunk(std::string& strFirstAuthor, std::string& strLastAuthor, std::string& strError) {
    std::string strName = "第" + ChineseNumber(m_nVolumes + 1) + "冊";
    // Author names are cut so that the volume name stays short.
    auto shortName = [](const std::string& s) {
        std::u32string name = CCodeConverter::Utf8ToUtf32(s);
        if (name.size() > 12) name.resize(12);
        return Utf8(name);
    };
    if (!strFirstAuthor.empty()) {
        strName += " " + shortName(strFirstAuthor);
        if (strLastAuthor != strFirstAuthor && !strLastAuthor.empty()) strName += "—" + shortName(strLastAuthor);
    }
    strFirstAuthor.clear();
    strLastAuthor.clear();
    return EndVolume(strName, strError);
}

bool CPoetryImporter::ImportChunked(const std::vector<std::string>& files, const BiographyMap& biographies,
                                    std::string& strError) {
    std::string strFirstAuthor, strLastAuthor;
    for (const std::string& strFile : files) {
        CJsonValue root;
        std::vector<const CJsonValue*> items;
        if (!ReadList(strFile, root, items, false, strError)) return false;
        for (size_t i = 0; i < items.size(); ++i) {
            const CJsonValue& item = *items[i];
            const std::string strWhere = ItemWhere(strFile, i);
            Piece piece;
            if (!GetText(item, "title", false, piece.title, strWhere, strError) ||
                !GetText(item, "author", false, piece.author, strWhere, strError) ||
                !GetBody(item, piece.paragraphs, strWhere, strError) ||
                !GetLines(item, "notes", false, piece.notes, strWhere, strError))
                return false;
            // A ci has no title of its own: its tune names it.
            if (piece.title.empty() && !GetText(item, "rhythmic", false, piece.title, strWhere, strError)) return false;
            if (m_nVolumePieces == PiecesPerVolume && !EndChunk(strFirstAuthor, strLastAuthor, strError)) return false;
            if (m_nVolumePieces == 0) strFirstAuthor = piece.author;
            strLastAuthor = piece.author;
            AddPiece(piece, &biographies);
        }
    }
    return m_nVolumePieces == 0 || EndChunk(strFirstAuthor, strLastAuthor, strError);
}

bool CPoetryImporter::ImportSongShi(std::string& strError) {
    std::vector<std::string> files;
    BiographyMap biographies;
    return ListJson(Dist("quantangshi"), "poet.song.", files, strError) &&
           ReadBiographies(Dist("quantangshi/authors.song.json"), "desc", biographies, strError) &&
           ImportChunked(files, biographies, strError);
}

bool CPoetryImporter::ImportSongCi(std::string& strError) {
    std::vector<std::string> files;
    BiographyMap biographies;
    return ListJson(Dist("songci"), "ci.song.", files, strError) &&
           ReadBiographies(Dist("songci/author.song.json"), "description", biographies, strError) &&
           ImportChunked(files, biographies, strError);
}

bool CPoetryImporter::ImportYuanqu(std::string& strError) {
    return ImportChunked({Dist("yuanqu/yuanqu.json")}, BiographyMap(), strError);
}

bool CPoetryImporter::ImportWudai(std::string& strError) {
    // 花间集: huajianji-0-preface.json, huajianji-1-juan.json … huajianji-x-juan.json (x: the tenth).
    std::vector<std::string> files;
    if (!ListJson(Dist("wudaishici/huajianji"), "huajianji-", files, strError)) return false;
    std::vector<std::pair<size_t, std::string>> volumes;
    for (const std::string& strFile : files) {
        const std::string strStem = fs::path(strFile).stem().string();  // huajianji-1-juan
        const size_t nDash = strStem.find('-');
        const size_t nDash2 = strStem.find('-', nDash + 1);
        const std::string strNumber = strStem.substr(nDash + 1, nDash2 == std::string::npos ? std::string::npos : nDash2 - nDash - 1);
        size_t nNumber;
        if (strNumber == "x" || strNumber == "X")
            nNumber = 10;
        else if (IsAllDigits(strNumber) && strNumber.size() <= 4)
            nNumber = static_cast<size_t>(std::stoul(strNumber));
        else {
            strError = strFile + ": not a volume of 花间集 (expected huajianji-N-….json, N a number or x for 10)";
            return false;
        }
        volumes.emplace_back(nNumber, strFile);
    }
    std::stable_sort(volumes.begin(), volumes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& volume : volumes) {
        CJsonValue root;
        std::vector<const CJsonValue*> items;
        if (!ReadList(volume.second, root, items, false, strError)) return false;
        for (size_t i = 0; i < items.size(); ++i) {
            const std::string strWhere = ItemWhere(volume.second, i);
            Piece piece;
            if (!GetText(*items[i], "title", false, piece.title, strWhere, strError) ||
                !GetText(*items[i], "author", false, piece.author, strWhere, strError) ||
                !GetBody(*items[i], piece.paragraphs, strWhere, strError) ||
                !GetLines(*items[i], "notes", false, piece.notes, strWhere, strError))
                return false;
            if (piece.title.empty() && !GetText(*items[i], "rhythmic", false, piece.title, strWhere, strError)) return false;
            AddPiece(piece, nullptr);
        }
        const std::string strName = volume.first == 0 ? "花间集 序" : "花间集 卷" + ChineseNumber(volume.first);
        if (!EndVolume(strName, strError)) return false;
    }

    // 南唐二主词: its introduction, then the ci.
    const std::string strIntro = Dist("wudaishici/nantang/intro.json");
    CJsonValue intro;
    if (!CJsonReader::ParseFile(strIntro, intro, strError)) return false;
    if (!intro.IsObject()) {
        strError = strIntro + ": expected an object, found " + CJsonValue::TypeName(intro.GetType());
        return false;
    }
    Piece introPiece;
    if (!GetText(intro, "title", false, introPiece.title, strIntro, strError) ||
        !GetLines(intro, "desc", false, introPiece.paragraphs, strIntro, strError))
        return false;
    const std::string strVolume = introPiece.title.empty() ? "南唐二主词" : introPiece.title;
    AddPiece(introPiece, nullptr);
    BiographyMap biographies;
    if (!ReadBiographies(Dist("wudaishici/nantang/authors.json"), "desc", biographies, strError)) return false;
    const std::string strPoems = Dist("wudaishici/nantang/poetrys.json");
    CJsonValue root;
    std::vector<const CJsonValue*> items;
    if (!ReadList(strPoems, root, items, false, strError)) return false;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string strWhere = ItemWhere(strPoems, i);
        Piece piece;
        if (!GetText(*items[i], "title", false, piece.title, strWhere, strError) ||
            !GetText(*items[i], "author", false, piece.author, strWhere, strError) ||
            !GetBody(*items[i], piece.paragraphs, strWhere, strError) ||
            !GetLines(*items[i], "notes", false, piece.notes, strWhere, strError))
            return false;
        if (piece.title.empty() && !GetText(*items[i], "rhythmic", false, piece.title, strWhere, strError)) return false;
        AddPiece(piece, &biographies);
    }
    return EndVolume(strVolume, strError);
}

bool CPoetryImporter::ImportChuci(std::string& strError) {
    const std::string strFile = Dist("chuci/chuci.json");
    CJsonValue root;
    std::vector<const CJsonValue*> items;
    if (!ReadList(strFile, root, items, false, strError)) return false;
    std::string strSection;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string strWhere = ItemWhere(strFile, i);
        Piece piece;
        std::string strItemSection;
        if (!GetText(*items[i], "title", false, piece.title, strWhere, strError) ||
            !GetText(*items[i], "author", false, piece.author, strWhere, strError) ||
            !GetText(*items[i], "section", false, strItemSection, strWhere, strError) ||
            !GetBody(*items[i], piece.paragraphs, strWhere, strError))
            return false;
        if (i > 0 && strItemSection != strSection && !EndVolume(strSection, strError)) return false;
        strSection = strItemSection;
        AddPiece(piece, nullptr);
    }
    return EndVolume(strSection, strError);
}

bool CPoetryImporter::ImportShijing(std::string& strError) {
    const std::string strFile = Dist("shijing/shijing.json");
    CJsonValue root;
    std::vector<const CJsonValue*> items;
    if (!ReadList(strFile, root, items, false, strError)) return false;
    std::string strVolume;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string strWhere = ItemWhere(strFile, i);
        Piece piece;
        std::string strChapter, strSection;
        if (!GetText(*items[i], "title", false, piece.title, strWhere, strError) ||
            !GetText(*items[i], "chapter", false, strChapter, strWhere, strError) ||
            !GetText(*items[i], "section", false, strSection, strWhere, strError) ||
            !GetBody(*items[i], piece.paragraphs, strWhere, strError))
            return false;
        std::string strItemVolume = strChapter;
        if (!strSection.empty() && strSection != strChapter)
            strItemVolume += (strItemVolume.empty() ? "" : "·") + strSection;
        if (i > 0 && strItemVolume != strVolume && !EndVolume(strVolume, strError)) return false;
        strVolume = strItemVolume;
        AddPiece(piece, nullptr);
    }
    return EndVolume(strVolume, strError);
}

namespace {

// A chapter of prose: its name as a heading with the first paragraph, then
// each paragraph a piece of its own (a page break falls between them).
std::vector<std::vector<std::string>> ChapterPieces(const std::string& strChapter, const std::vector<std::string>& paragraphs) {
    std::vector<std::vector<std::string>> pieces;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        std::vector<std::string> lines;
        if (i == 0 && !strChapter.empty()) lines.push_back("# " + strChapter);
        lines.push_back(paragraphs[i]);
        pieces.push_back(std::move(lines));
    }
    return pieces;
}

}  // namespace

bool CPoetryImporter::ImportLunyu(std::string& strError) {
    const std::string strFile = Dist("lunyu/lunyu.json");
    CJsonValue root;
    std::vector<const CJsonValue*> items;
    if (!ReadList(strFile, root, items, false, strError)) return false;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string strWhere = ItemWhere(strFile, i);
        std::string strChapter;
        std::vector<std::string> paragraphs;
        if (!GetText(*items[i], "chapter", false, strChapter, strWhere, strError) ||
            !GetBody(*items[i], paragraphs, strWhere, strError))
            return false;
        for (const auto& lines : ChapterPieces(strChapter, paragraphs)) AddLines(lines);
        if (!EndVolume(strChapter, strError)) return false;
    }
    return true;
}

bool CPoetryImporter::ImportSishu(std::string& strError) {
    // 大學 and 中庸 are one chapter each, 孟子 fourteen.
    const struct {
        const char* pszFile;
        const char* pszPrefix;
    } kParts[] = {{"sishuwujing/daxue.json", ""}, {"sishuwujing/zhongyong.json", ""}, {"sishuwujing/mengzi.json", "孟子·"}};
    for (const auto& part : kParts) {
        const std::string strFile = Dist(part.pszFile);
        CJsonValue root;
        std::vector<const CJsonValue*> items;
        if (!ReadList(strFile, root, items, true, strError)) return false;
        for (size_t i = 0; i < items.size(); ++i) {
            const std::string strWhere = root.IsObject() ? strFile : ItemWhere(strFile, i);
            std::string strChapter;
            std::vector<std::string> paragraphs;
            if (!GetText(*items[i], "chapter", false, strChapter, strWhere, strError) ||
                !GetBody(*items[i], paragraphs, strWhere, strError))
                return false;
            for (const auto& lines : ChapterPieces(strChapter, paragraphs)) AddLines(lines);
            if (!EndVolume(part.pszPrefix + strChapter, strError)) return false;
        }
    }
    return true;
}

// ----- the whole import -----

bool CPoetryImporter::Import(const std::string& strPackageDir, const std::string& strSourceDir, std::string& strError) {
    m_summary = PoetryImportSummary{};
    m_nCategories = 0;
    m_packer.TakePages();
    m_strPackage = strPackageDir;
    while (m_strPackage.size() > 1 && m_strPackage.back() == '/') m_strPackage.pop_back();

    const std::string strManifest = m_strPackage + "/package.json";
    CJsonValue manifest;
    if (!CJsonReader::ParseFile(strManifest, manifest, strError)) {
        std::error_code ec;
        if (!fs::exists(strManifest, ec))
            strError = m_strPackage + ": not an unpacked npm package (no package.json); unpack the file of "
                                      "'npm pack chinese-poetry' and give the folder that holds dist/";
        return false;
    }
    const std::string* pName = manifest.FindString("name");
    const std::string* pVersion = manifest.FindString("version");
    if (!pName || *pName != "chinese-poetry") {
        strError = strManifest + ": not the package chinese-poetry (its name is " +
                   (pName ? "\"" + *pName + "\"" : std::string("missing")) + ")";
        return false;
    }
    m_strVersion = pVersion ? *pVersion : std::string();

    // The target: a fresh folder, an empty one, or one an earlier import wrote.
    std::string strTarget = strSourceDir;
    while (strTarget.size() > 1 && strTarget.back() == '/') strTarget.pop_back();
    std::error_code ec;
    if (fs::exists(strTarget, ec)) {
        if (!fs::is_directory(strTarget, ec)) {
            strError = strTarget + ": exists and is not a folder";
            return false;
        }
        if (!fs::is_empty(strTarget, ec) && !fs::exists(strTarget + "/" + MarkerFile, ec)) {
            strError = strTarget + ": the folder holds files that import-poetry did not write; "
                                   "remove it or choose another folder";
            return false;
        }
    }
    // Built aside and put in place whole (CStagingFolder).
    CStagingFolder stage;
    if (!stage.Create(strTarget, strError)) return false;
    m_strStage = stage.Path();

    try {
        using Step = bool (CPoetryImporter::*)(std::string&);
        const struct {
            const char* pszCategory;
            const char* pszBook;
            Step step;
        } kBooks[] = {
            {"集部", "楚辭", &CPoetryImporter::ImportChuci},
            {nullptr, "御定全唐詩", &CPoetryImporter::ImportTang},
            {nullptr, "五代詩詞", &CPoetryImporter::ImportWudai},
            {nullptr, "全宋詩", &CPoetryImporter::ImportSongShi},
            {nullptr, "宋詞", &CPoetryImporter::ImportSongCi},
            {nullptr, "元曲", &CPoetryImporter::ImportYuanqu},
            {"經部", "詩經", &CPoetryImporter::ImportShijing},
            {nullptr, "論語", &CPoetryImporter::ImportLunyu},
            {nullptr, "四書", &CPoetryImporter::ImportSishu},
        };
        for (const auto& book : kBooks) {
            if (book.pszCategory && !BeginCategory(book.pszCategory, strError)) return false;
            if (!BeginBook(book.pszBook, strError)) return false;
            if (!(this->*book.step)(strError)) return false;
            if (!EndBook(strError)) return false;
        }
    } catch (const std::bad_alloc&) {
        strError = "out of memory while importing " + m_strPackage;
        return false;
    } catch (const std::exception& e) {
        strError = "importing " + m_strPackage + " failed: " + e.what();
        return false;
    }
    if (!CAtomicFile::Write(m_strStage + "/" + MarkerFile, "chinese-poetry " + m_strVersion + "\n",
                            CAtomicFile::Mode::Staged, strError))
        return false;
    // The old folder holds only what an earlier import wrote: nothing of it is kept.
    return stage.SwapIn(nullptr, strError);
}
