#include "model/contentsnode.h"

ContentsNodeTag::~ContentsNodeTag() {
    // Children go first and in order, before this node's own members.
    for (std::unique_ptr<ContentsNodeTag>& child : children) child.reset();
}

ContentsNodeTag* ContentsNodeTag::AddChild(std::unique_ptr<ContentsNodeTag> child) {
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}
