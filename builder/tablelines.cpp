#include "builder/tablelines.h"

bool CTableLines::Next(std::string& strLine, size_t& nLine) {
    while (m_nStart < m_strText.size()) {
        size_t nEnd = m_strText.find('\n', m_nStart);
        if (nEnd == std::string::npos) nEnd = m_strText.size();
        strLine = m_strText.substr(m_nStart, nEnd - m_nStart);
        m_nStart = nEnd + 1;
        ++m_nLine;
        if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
        if (strLine.empty() || strLine[0] == '#') continue;
        nLine = m_nLine;
        return true;
    }
    return false;
}
