#include "builder/compressedfile.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"

#include <bzlib.h>

#include <climits>
#include <memory>

std::string CCompressedFile::ReadAll(const std::string& strPath, uint64_t nMaxBytes) {
    const std::string strSuffix = ".bz2";
    const bool bCompressed =
        strPath.size() > strSuffix.size() && strPath.compare(strPath.size() - strSuffix.size(), strSuffix.size(), strSuffix) == 0;
    std::string strInput = CReadOnlyFile::ReadAll(strPath, nMaxBytes);
    if (!bCompressed) return strInput;
    if (strInput.size() > UINT_MAX) throw CFileException(strPath, "file too large");

    bz_stream stream{};
    if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK) throw CFileException(strPath, "cannot start bzip2 decompression");
    auto end = [](bz_stream* p) { BZ2_bzDecompressEnd(p); };
    std::unique_ptr<bz_stream, decltype(end)> guard(&stream, end);
    stream.next_in = strInput.data();
    stream.avail_in = static_cast<unsigned>(strInput.size());
    std::string strOutput;
    char buffer[1 << 16];
    for (;;) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        const int nResult = BZ2_bzDecompress(&stream);
        if (nResult != BZ_OK && nResult != BZ_STREAM_END)
            throw CFileException(strPath, "not valid bzip2 data (error " + std::to_string(nResult) + ")");
        const size_t nProduced = sizeof buffer - stream.avail_out;
        if (strOutput.size() + nProduced > nMaxBytes) throw CFileException(strPath, "decompressed data too large");
        strOutput.append(buffer, nProduced);
        if (nResult == BZ_STREAM_END) break;
        // No progress with all input consumed: the data ends early.
        if (nProduced == 0 && stream.avail_in == 0) throw CFileException(strPath, "bzip2 data ends early");
    }
    return strOutput;
}
