#include "addon/tree_search.h"

#include "text/words_filter.h"

namespace {

void CopyChildren(const ITreeSource& source, TTreeSourceNode parent, TNode& into) {
    const int count = source.ChildCount(parent);
    for (int i = 0; i < count; ++i) {
        TTreeSourceNode node = source.Child(parent, i);
        if (!(source.Flags(node) & kTreeSourceInclude))
            continue;
        TNode& copy = into.Add(source.Text(node), node, source.ImageIndex(node));
        CopyChildren(source, node, copy);
    }
}

} // namespace

TNode& TNode::Add(AnsiString text, TTreeSourceNode source, int imageIndex) {
    return *m_children.emplace_back(std::make_unique<TNode>(std::move(text), source, imageIndex));
}

bool TNode::Mark(const TWordsFilter& filter) {
    bool anyVisible = false;
    for (const auto& child : m_children) {
        child->m_match = filter.Matches(child->m_text);
        const bool descendantVisible = child->Mark(filter);
        child->m_visible = child->m_match || descendantVisible;
        anyVisible = anyVisible || child->m_visible;
    }
    return anyVisible;
}

void CopySourceTree(const ITreeSource& source, TNode& root) {
    root.Clear();
    CopyChildren(source, nullptr, root);
}
