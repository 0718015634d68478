#include "index/blockpool.h"

#include <cstring>

bool CBlockPool::SpillTo(const std::string& strFolder, std::string& strError) {
    return m_file.Create(strFolder, strError);
}

uint8_t* CBlockPool::InMemory(uint32_t nBlock) const {
    if (nBlock < m_nInFile) return nullptr;
    const uint32_t nLocal = nBlock - m_nInFile;
    return m_chunks[nLocal / ChunkBlocks].get() + size_t{nLocal % ChunkBlocks} * BlockSize;
}

bool CBlockPool::Store(const uint8_t* pBlock, std::string& strError) {
    const uint32_t nLocal = m_nCount - m_nInFile;
    if (nLocal % ChunkBlocks == 0 && nLocal / ChunkBlocks == m_chunks.size()) {
        if (m_file.IsOpen() && !m_chunks.empty()) {
            // The chunk is full: into the file with it, and fill it again.
            if (!m_file.WriteAt(uint64_t{m_nInFile} * BlockSize, m_chunks[0].get(), size_t{ChunkBlocks} * BlockSize,
                                strError))
                return false;
            m_nInFile += ChunkBlocks;
        } else {
            m_chunks.push_back(std::make_unique<uint8_t[]>(size_t{ChunkBlocks} * BlockSize));
        }
    }
    std::memcpy(InMemory(m_nCount), pBlock, BlockSize);
    ++m_nCount;
    return true;
}

bool CBlockPool::Patch(uint32_t nBlock, uint32_t nOffset, uint8_t nByte, std::string& strError) {
    if (uint8_t* pBlock = InMemory(nBlock)) {
        pBlock[nOffset] = nByte;
        return true;
    }
    return m_file.WriteAt(uint64_t{nBlock} * BlockSize + nOffset, &nByte, 1, strError);
}

bool CBlockPool::Read(uint32_t nBlock, uint8_t* pOut, std::string& strError) const {
    if (const uint8_t* pBlock = InMemory(nBlock)) {
        std::memcpy(pOut, pBlock, BlockSize);
        return true;
    }
    return m_file.ReadAt(uint64_t{nBlock} * BlockSize, pOut, BlockSize, strError);
}
