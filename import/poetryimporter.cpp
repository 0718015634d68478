#include "import/poetryimporter.h"

#include "import/packagefile.h"
#include "import/poetrybooks.h"
#include "import/textcleaner.h"
#include "platform/atomicfile.h"
#include "platform/stagingfolder.h"
#include "text/codeconverter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

namespace fs = std::filesystem;
using json = nlohmann::json;

const char* const CPoetryImporter::MarkerFile = ".tessaline-poetry";

namespace {

// The member pszKey of object when it is a string; else nullptr.
const std::string* FindString(const json& object, const char* pszKey) {
    const auto it = object.find(pszKey);
    return it != object.end() && it->is_string() ? &it->get_ref<const std::string&>() : nullptr;
}

// At most the first nMax characters of strText.
std::string Shortened(const std::string& strText, size_t nMax) {
    std::u32string text = CCodeConverter::Utf8ToUtf32(strText);
    if (text.size() <= nMax) return strText;
    text.resize(nMax);
    std::string out;
    for (char32_t c : text) CCodeConverter::AppendUtf8(c, out);
    return out;
}

}  // namespace

bool CPoetryImporter::ReadManifest(std::string& strError) {
    const std::string strManifest = m_strPackage + "/package.json";
    json manifest;
    if (!CPackageFile::Read(strManifest, manifest, strError)) {
        std::error_code ec;
        if (!fs::exists(strManifest, ec))
            strError = m_strPackage + ": not an unpacked npm package (no package.json); unpack the file of "
                                      "'npm pack chinese-poetry' and give the folder that holds dist/";
        return false;
    }
    const std::string* pName = FindString(manifest, "name");
    const std::string* pVersion = FindString(manifest, "version");
    if (!pName || *pName != "chinese-poetry") {
        strError = strManifest + ": not the package chinese-poetry (its name is " +
                   (pName ? "\"" + *pName + "\"" : std::string("missing")) + ")";
        return false;
    }
    m_strVersion = pVersion ? *pVersion : std::string();
    return true;
}

bool CPoetryImporter::PartFiles(const BookPart& part, std::vector<PartFile>& files, std::string& strError) const {
    files.clear();
    if (!part.pszPrefix) {
        files.push_back({0, Dist(part.pszPath)});
        return true;
    }
    std::vector<std::string> paths;
    if (!CPackageFile::List(Dist(part.pszPath), part.pszPrefix, paths, strError)) return false;
    const size_t nPrefix = std::char_traits<char>::length(part.pszPrefix);
    for (const std::string& strPath : paths) {
        size_t nNumber = 0;
        if (part.eNumbering != CPackageFile::Numbering::None) {
            const std::string strName = fs::path(strPath).filename().string();
            const std::string strStem = strName.substr(nPrefix, strName.size() - nPrefix - 5);  // without ".json"
            if (!CPackageFile::FileNumber(part.eNumbering, strStem, nNumber)) {
                strError = strPath + ": not " + part.pszBadName;
                return false;
            }
        }
        files.push_back({nNumber, strPath});
    }
    std::stable_sort(files.begin(), files.end(), [](const PartFile& a, const PartFile& b) { return a.number < b.number; });
    return true;
}

std::string CPoetryImporter::AuthorLine(const Piece& piece, const BiographyMap* pBiographies) {
    std::string strBiography = piece.biography;
    const bool bFirst = !piece.author.empty() && m_authorsSeen.insert(piece.author).second;
    if (strBiography.empty() && bFirst && pBiographies) {
        auto it = pBiographies->find(piece.author);
        if (it != pBiographies->end()) strBiography = it->second;
    }
    std::string strAuthorLine = piece.author;
    if (CTextCleaner::HasWords(strBiography)) strAuthorLine += "{" + strBiography + "}";
    return strAuthorLine;
}

void CPoetryImporter::AddPiece(const BookPart& part, const Piece& piece, const BiographyMap* pBiographies) {
    if (piece.paragraphs.empty() && piece.notes.empty() && (piece.title.empty() || part.eForm == PieceForm::Chapter))
        return;
    std::vector<std::string> lines;
    if (!piece.title.empty()) lines.push_back("# " + piece.title);
    const std::string strAuthorLine = AuthorLine(piece, pBiographies);
    if (!strAuthorLine.empty()) lines.push_back(strAuthorLine);
    if (part.eForm == PieceForm::Chapter) {
        // The heading and the author stay with the first paragraph; every
        // further paragraph, then the notes, are pieces of their own.
        for (size_t i = 0; i < piece.paragraphs.size(); ++i) {
            lines.push_back(piece.paragraphs[i]);
            m_writer.AddPiece(lines);
            lines.clear();
        }
        for (const std::string& strNote : piece.notes) lines.push_back("{" + strNote + "}");
        m_writer.AddPiece(lines);
        return;
    }
    lines.insert(lines.end(), piece.paragraphs.begin(), piece.paragraphs.end());
    for (const std::string& strNote : piece.notes) lines.push_back("{" + strNote + "}");
    m_writer.AddPiece(lines);
}

bool CPoetryImporter::EndVolume(const std::string& strName, std::string& strError) {
    m_strVolumeName.clear();
    return m_writer.EndVolume(strName, strError);
}

std::string CPoetryImporter::CountedVolumeName(const std::string& strFirstAuthor, const std::string& strLastAuthor) const {
    std::string strName = "第" + CTextCleaner::ChineseNumber(m_writer.BookVolumes() + 1) + "冊";
    // Author names are cut so that the volume name stays short.
    if (!strFirstAuthor.empty()) {
        strName += " " + Shortened(strFirstAuthor, 12);
        if (strLastAuthor != strFirstAuthor && !strLastAuthor.empty()) strName += "—" + Shortened(strLastAuthor, 12);
    }
    return strName;
}

std::string CPoetryImporter::FileVolumeName(const BookPart& part, const PartFile& file) {
    if (part.eNumbering == CPackageFile::Numbering::None) return part.pszVolumeName;
    if (file.number == 0 && part.pszFirstVolume) return part.pszFirstVolume;
    return part.pszVolumeName + CTextCleaner::ChineseNumber(file.number);
}

bool CPoetryImporter::FileItems(const BookPart& part, const std::string& strPath, json& root,
                                std::vector<FileItem>& items, std::string& strError) {
    items.clear();
    std::vector<const json*> list;
    if (!part.pszList) {
        if (!CPackageFile::ReadItems(strPath, part.eShape, root, list, strError)) return false;
        for (size_t i = 0; i < list.size(); ++i) items.push_back({list[i], CPackageFile::ItemWhere(strPath, root, i), ""});
    } else if (!CPackageFile::ReadItems(strPath, CPackageFile::Shape::Object, root, list, strError) ||
               !CPackageFile::MemberItems(strPath, root, part.pszList, list, strError)) {
        return false;
    } else {
        const std::string strList = strPath + ": \"" + part.pszList + "\" item ";
        for (size_t i = 0; i < list.size(); ++i) items.push_back({list[i], strList + std::to_string(i + 1), ""});
    }
    if (!part.pszGroupItems) return true;
    // Each item so far is a group: its items take its place.
    std::vector<FileItem> groups;
    groups.swap(items);
    for (const FileItem& group : groups) {
        std::string strName;
        if (!CPieceReader::ReadText(*group.pItem, part.pszGroupName, false, group.strWhere, strName, strError) ||
            !CPackageFile::MemberItems(group.strWhere, *group.pItem, part.pszGroupItems, list, strError))
            return false;
        const std::string strItem = group.strWhere + ": \"" + part.pszGroupItems + "\" item ";
        for (size_t i = 0; i < list.size(); ++i) items.push_back({list[i], strItem + std::to_string(i + 1), strName});
    }
    return true;
}

void CPoetryImporter::Arrange(const BookPart& part, Piece& piece) {
    if (part.bDropSpaces) {
        for (std::string& strLine : piece.paragraphs)
            strLine.erase(std::remove(strLine.begin(), strLine.end(), ' '), strLine.end());
    }
    if (part.nJoinLines > 1) {
        std::vector<std::string> joined;
        for (size_t i = 0; i < piece.paragraphs.size(); ++i) {
            if (i % part.nJoinLines == 0) joined.emplace_back();
            joined.back() += piece.paragraphs[i];
        }
        piece.paragraphs.swap(joined);
    }
}

bool CPoetryImporter::PlacePiece(const BookPart& part, const Piece& piece, bool bFirstOfFile,
                                 const BiographyMap* pBiographies, std::string& strError) {
    switch (part.eCut) {
    case VolumeCut::Section:
        if (!bFirstOfFile && piece.volume != m_strSection && !EndVolume(m_strSection, strError)) return false;
        m_strSection = piece.volume;
        break;
    case VolumeCut::Count:
        if (m_writer.VolumePieces() == PiecesPerVolume &&
            !EndVolume(CountedVolumeName(m_strFirstAuthor, m_strLastAuthor), strError))
            return false;
        if (m_writer.VolumePieces() == 0) m_strFirstAuthor = piece.author;
        m_strLastAuthor = piece.author;
        break;
    case VolumeCut::File:
    case VolumeCut::None:
        if (m_strVolumeName.empty()) m_strVolumeName = piece.volume;
        break;
    case VolumeCut::Item: break;
    }
    AddPiece(part, piece, pBiographies);
    return part.eCut != VolumeCut::Item || EndVolume(part.pszVolumeName + piece.volume, strError);
}

bool CPoetryImporter::ImportPart(const BookPart& part, bool bVolumeGoesOn, std::string& strError) {
    std::vector<PartFile> files;
    if (!PartFiles(part, files, strError)) return false;
    BiographyMap biographies;
    if (part.pszAuthors && !CPieceReader::ReadBiographies(Dist(part.pszAuthors), part.pszAuthorText, biographies, strError))
        return false;
    const BiographyMap* pBiographies = part.pszAuthors ? &biographies : nullptr;

    std::vector<Piece> held;  // a Lacking part's pieces, placed once all are judged
    size_t nHeldBytes = 0;
    for (const PartFile& file : files) {
        json root;
        std::vector<FileItem> items;
        if (!FileItems(part, file.path, root, items, strError)) return false;
        for (size_t i = 0; i < items.size(); ++i) {
            Piece piece;
            if (!CPieceReader::Read(*items[i].pItem, *part.pFields, items[i].strWhere, piece, strError)) return false;
            if (part.pszGroupItems) piece.volume = items[i].strGroup;
            Arrange(part, piece);
            if (part.bReference && !m_matcher.AddReference(piece)) {
                strError = items[i].strWhere + ": more than " + std::to_string(CPoemMatcher::MaxReferenceChars) +
                           " characters of poems to compare with";
                return false;
            }
            if (part.bLacking) {
                nHeldBytes += piece.title.size() + piece.author.size() + piece.biography.size();
                for (const std::string& strLine : piece.paragraphs) nHeldBytes += strLine.size() + 1;
                for (const std::string& strNote : piece.notes) nHeldBytes += strNote.size() + 1;
                if (nHeldBytes > MaxHeldBytes) {
                    strError = items[i].strWhere + ": more than " + std::to_string(MaxHeldBytes >> 20) +
                               " MiB of poems to compare";
                    return false;
                }
                held.push_back(std::move(piece));
            } else if (!PlacePiece(part, piece, i == 0, pBiographies, strError)) {
                return false;
            }
        }
        if (part.eCut == VolumeCut::File &&
            !EndVolume(m_strVolumeName.empty() ? FileVolumeName(part, file) : m_strVolumeName, strError))
            return false;
    }
    if (part.bLacking) {
        std::vector<PoemVerdict> verdicts;
        if (!m_matcher.Judge(held, verdicts, strError)) {
            strError = Dist(part.pszPrefix ? std::string(part.pszPath) + "/" + part.pszPrefix + "*" : part.pszPath) + ": " +
                       strError;
            return false;
        }
        for (size_t i = 0; i < held.size(); ++i)
            if (verdicts[i] == PoemVerdict::Lacking && !PlacePiece(part, held[i], false, pBiographies, strError))
                return false;
    }
    if (part.eCut == VolumeCut::Section) return EndVolume(m_strSection, strError);
    if (part.eCut == VolumeCut::Count && !bVolumeGoesOn && m_writer.VolumePieces() > 0)
        return EndVolume(CountedVolumeName(m_strFirstAuthor, m_strLastAuthor), strError);
    return true;
}

bool CPoetryImporter::ImportBook(const PoetryBook& book, std::string& strError) {
    if (book.pszCategory && !m_writer.BeginCategory(book.pszCategory, strError)) return false;
    if (!m_writer.BeginBook(book.pszName, strError)) return false;
    m_authorsSeen.clear();
    m_strVolumeName.clear();
    const PoemMatchSummary before = m_matcher.Summary();
    for (size_t i = 0; i < book.parts.size(); ++i) {
        const bool bVolumeGoesOn = book.parts[i].eCut == VolumeCut::Count && i + 1 < book.parts.size() &&
                                   book.parts[i + 1].eCut == VolumeCut::Count;
        if (!ImportPart(book.parts[i], bVolumeGoesOn, strError)) return false;
    }
    // A part whose volume goes on (VolumeCut::None) at the end of the book.
    if (m_writer.VolumePieces() > 0 && !EndVolume(m_strVolumeName, strError)) return false;
    if (m_writer.BookVolumes() == 0) {
        strError = m_strPackage + ": the package holds no text for " + book.pszName;
        return false;
    }
    m_writer.EndBook();
    if (!m_progress) return true;
    std::string strProgress = std::string(book.pszName) + ": " + std::to_string(m_writer.BookVolumes()) + " volumes, " +
                              std::to_string(m_writer.BookPages()) + " pages";
    const PoemMatchSummary& after = m_matcher.Summary();
    const size_t nJudged = after.exact + after.loose + after.lacking + after.empty -
                           (before.exact + before.loose + before.lacking + before.empty);
    if (nJudged > 0)
        strProgress += "; of " + std::to_string(nJudged) + " poems, " + std::to_string(after.lacking - before.lacking) +
                       " lacking from the reference, " + std::to_string(after.exact - before.exact) +
                       " in it word for word, " + std::to_string(after.loose - before.loose) + " loosely, " +
                       std::to_string(after.empty - before.empty) + " without text";
    m_progress(strProgress);
    return true;
}

bool CPoetryImporter::Import(const std::string& strPackageDir, const std::string& strSourceDir, std::string& strError) {
    m_writer.Start(std::string());
    m_matcher.Clear();
    m_strPackage = strPackageDir;
    while (m_strPackage.size() > 1 && m_strPackage.back() == '/') m_strPackage.pop_back();
    if (!ReadManifest(strError)) return false;

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
    // Built aside and put in place whole.
    CStagingFolder stage;
    if (!stage.Create(strTarget, strError)) return false;
    m_writer.Start(stage.Path());
    try {
        for (const PoetryBook& book : CPoetryBooks::Books())
            if (!ImportBook(book, strError)) return false;
    } catch (const std::bad_alloc&) {
        strError = "out of memory while importing " + m_strPackage;
        return false;
    } catch (const std::exception& e) {
        strError = "importing " + m_strPackage + " failed: " + e.what();
        return false;
    }
    if (!CAtomicFile::Write(stage.Path() + "/" + MarkerFile, "chinese-poetry " + m_strVersion + "\n",
                            CAtomicFile::Mode::Staged, strError))
        return false;
    // The old folder holds only what an earlier import wrote: nothing of it is kept.
    return stage.SwapIn(nullptr, strError);
}
