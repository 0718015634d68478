#include "corpus/pagepositions.h"

void CPagePositions::Read(const std::string& strPage, int nParity, std::vector<PositionedChar>& chars) {
    chars.clear();
    std::vector<HTMLNode> parts;
    CPageMarkup::ParsePage(strPage, parts);
    ForEach(parts[nParity == 0 ? 1 : 2].m_pText, [&chars](const PositionedChar& ch) { chars.push_back(ch); });
}
