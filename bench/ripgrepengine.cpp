#include "bench/ripgrepengine.h"

#include "bench/pageexport.h"
#include "text/codeconverter.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Runs argv with standard output captured (standard error passed on).
// False with strError when it cannot be started or ends with a status
// other than 0 or 1 (ripgrep: 1 means no line matched). posix_spawn, so
// that starting the program does not copy the bench's page tables.
bool Capture(const std::vector<std::string>& args, std::string& strOut, std::string& strError) {
    strOut.clear();
    int fds[2];
    if (::pipe(fds) != 0) {
        strError = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<char*> argv;
    for (const std::string& strArg : args) argv.push_back(const_cast<char*>(strArg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int nSpawn = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nSpawn != 0) {
        strError = args[0] + ": cannot be started (" + std::strerror(nSpawn) + ")";
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    ::close(fds[1]);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            strOut.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fds[0]);
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(nStatus) || WEXITSTATUS(nStatus) > 1) {
        strError = args[0] + ": ended with status " + std::to_string(WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1);
        return false;
    }
    return true;
}

}  // namespace

bool CRipgrepEngine::Build(const CPageExport& pages, const std::string& strPath, std::string& strError) {
    m_pPages = &pages;
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    const std::vector<char32_t>& chars = pages.Chars();
    const std::vector<ExportRun>& runs = pages.Runs();
    std::string strLine;
    for (uint32_t p = 0; p < pages.PageCount(); ++p) {
        strLine.clear();
        for (size_t r = pages.FirstRun(p); r < pages.EndRun(p); ++r) {
            if (r > pages.FirstRun(p)) strLine.push_back('\t');
            const ExportRun& run = runs[r];
            for (uint32_t i = 0; i < run.length; ++i) {
                char32_t c = pages.Fold(chars[run.offset + i]);
                if (c == U'\t' || c == U'\n' || c == U'\r') c = U' ';
                CCodeConverter::AppendUtf8(c, strLine);
            }
        }
        strLine.push_back('\n');
        out.write(strLine.data(), static_cast<std::streamsize>(strLine.size()));
    }
    out.flush();
    if (!out) {
        strError = strPath + ": cannot write the page text";
        return false;
    }
    return Open(strPath, strError);
}

bool CRipgrepEngine::Open(const std::string& strPath, std::string& strError) {
    m_strPath = strPath;
    if (!std::filesystem::is_regular_file(strPath)) {
        strError = strPath + ": the page text is missing";
        return false;
    }
    if (Version().empty()) {
        strError = m_strProgram + ": cannot be started (scripts/install-bench-deps.sh installs ripgrep)";
        return false;
    }
    return true;
}

std::string CRipgrepEngine::Version() const {
    std::string strOut;
    std::string strError;
    if (!Capture({m_strProgram, "--version"}, strOut, strError)) return std::string();
    return strOut.substr(0, strOut.find('\n'));
}

uint64_t CRipgrepEngine::IndexBytes() const {
    std::error_code ec;
    const uintmax_t n = std::filesystem::file_size(m_strPath, ec);
    return ec ? 0 : n;
}

std::string CRipgrepEngine::Regex(const BenchPattern& pattern) const {
    std::string strRegex;
    for (size_t s = 0; s < pattern.segments.size(); ++s) {
        const auto& segment = pattern.segments[s];
        if (s > 0) strRegex += "[^\\t]{0,300}";
        size_t nFirst = 0;
        size_t nEnd = segment.size();
        while (nFirst < nEnd && segment[nFirst].any) ++nFirst;
        while (nEnd > nFirst && segment[nEnd - 1].any) --nEnd;
        for (size_t i = nFirst; i < nEnd; ++i) {
            if (segment[i].any) {
                strRegex += "[^\\t]";
                continue;
            }
            const char32_t c = m_pPages ? m_pPages->Fold(segment[i].c) : segment[i].c;
            // Characters with a slot are never ASCII, so none needs escaping.
            CCodeConverter::AppendUtf8(c, strRegex);
        }
    }
    return strRegex;
}

BenchTranslation CRipgrepEngine::Translate(const CBenchQuery& query) const {
    BenchTranslation translation;
    for (size_t i = 0; i < query.m_patterns.size(); ++i) {
        if (i) translation.text += query.m_bOr ? "|" : " AND ";
        translation.text += Regex(query.m_patterns[i]);
    }
    if (!query.m_bOr && query.m_patterns.size() > 1) translation.text += " (one run each)";
    return translation;
}

bool CRipgrepEngine::Search(const std::string& strRegex, std::vector<uint32_t>& lines, std::string& strError) const {
    std::string strOut;
    // Long lines are not printed, only "N:[Omitted long line ...]".
    if (!Capture({m_strProgram, "--no-config", "--no-filename", "--line-number", "--color=never", "--max-columns=1",
                  "-e", strRegex, m_strPath},
                 strOut, strError))
        return false;
    lines.clear();
    size_t nStart = 0;
    while (nStart < strOut.size()) {
        size_t nEnd = strOut.find('\n', nStart);
        if (nEnd == std::string::npos) nEnd = strOut.size();
        uint32_t n = 0;
        size_t i = nStart;
        for (; i < nEnd && strOut[i] >= '0' && strOut[i] <= '9'; ++i) n = n * 10 + static_cast<uint32_t>(strOut[i] - '0');
        if (i > nStart) lines.push_back(n);
        nStart = nEnd + 1;
    }
    return true;
}

bool CRipgrepEngine::Run(const CBenchQuery& query, std::string& strError) {
    std::vector<uint32_t>& pages = m_pages;
    pages.clear();
    std::vector<uint32_t> lines;
    if (query.m_bOr || query.m_patterns.size() == 1) {
        std::string strRegex;
        for (size_t i = 0; i < query.m_patterns.size(); ++i)
            strRegex += (i ? "|" : "") + std::string(query.m_patterns.size() > 1 ? "(?:" : "") +
                        Regex(query.m_patterns[i]) + (query.m_patterns.size() > 1 ? ")" : "");
        if (!Search(strRegex, lines, strError)) return false;
    } else {
        for (size_t i = 0; i < query.m_patterns.size(); ++i) {
            std::vector<uint32_t> found;
            if (!Search(Regex(query.m_patterns[i]), found, strError)) return false;
            if (i == 0) {
                lines = found;
            } else {
                std::vector<uint32_t> kept;
                std::set_intersection(lines.begin(), lines.end(), found.begin(), found.end(), std::back_inserter(kept));
                lines.swap(kept);
            }
        }
    }
    for (uint32_t nLine : lines) pages.push_back(nLine - 1);
    return true;
}

void CRipgrepEngine::LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const {
    pages = m_pages;
    hits.clear();
}
