#pragma once

#include "platform/scratchfile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The full 4,096-byte blocks of an index writer's streams, numbered in the
// order they are stored, kept until the postings file is written. In memory
// by default; after SpillTo, in an unnamed temporary file (CScratchFile),
// written a chunk at a time, so that the writer holds one chunk of blocks
// instead of all of them.
class CBlockPool {
public:
    static constexpr uint32_t BlockSize = 4096;
    static constexpr uint32_t ChunkBlocks = 256;  // 1 MiB: what is allocated, and written, at a time

    // Keeps the blocks in a temporary file of strFolder from now on. Only
    // before the first Store.
    bool SpillTo(const std::string& strFolder, std::string& strError);

    // Stores BlockSize bytes as block Count().
    bool Store(const uint8_t* pBlock, std::string& strError);
    // Sets byte nOffset of a stored block.
    bool Patch(uint32_t nBlock, uint32_t nOffset, uint8_t nByte, std::string& strError);
    // Copies a stored block into pOut (BlockSize bytes).
    bool Read(uint32_t nBlock, uint8_t* pOut, std::string& strError) const;
    uint32_t Count() const { return m_nCount; }

private:
    // The chunk of memory that holds nBlock, or null when it is in the file.
    uint8_t* InMemory(uint32_t nBlock) const;

    CScratchFile m_file;
    std::vector<std::unique_ptr<uint8_t[]>> m_chunks;  // in memory: all; spilling: the chunk being filled
    uint32_t m_nCount = 0;
    uint32_t m_nInFile = 0;  // blocks 0 .. m_nInFile - 1 are in the file
};
