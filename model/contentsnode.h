#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One node of the contents tree: a category (level 1), book (2) or volume
// (3) made from a catalogue record, or the root (level 0, all numbers 0).
//
// Ownership: a node owns its children; parent is a plain back pointer that
// stays valid as long as the node is in its parent's children. Deleting a
// node deletes its children first, in order, then the node itself. Not
// copyable (the back pointers would dangle).
struct ContentsNodeTag {
    std::u16string name;
    int32_t level = 0;
    int32_t docID = 0;         // 1-based page number (page index + 1) of the first page
    int32_t docNo = 0;         // pages covered: docID .. docID + docNo - 1
    uint16_t curFileName = 0;  // page number (in the file name) of the first page
    ContentsNodeTag* parent = nullptr;
    std::vector<std::unique_ptr<ContentsNodeTag>> children;

    ContentsNodeTag() = default;
    ~ContentsNodeTag();
    ContentsNodeTag(const ContentsNodeTag&) = delete;
    ContentsNodeTag& operator=(const ContentsNodeTag&) = delete;

    // Appends child (taking it over) and sets its parent to this node.
    // Returns the child.
    ContentsNodeTag* AddChild(std::unique_ptr<ContentsNodeTag> child);
};
