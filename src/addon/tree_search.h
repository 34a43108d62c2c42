// The search in a tree: the view of any tree that the search dialog reads, and the dialog's
// own copy of that tree, marked against a word filter.
#pragma once

#include "platform/codepage.h"

#include <memory>
#include <vector>

class TWordsFilter;
// The icons that image indexes refer to; the widget toolkit's side defines it.
class TTreeImages;

// A node of the source tree, opaque to the search.
using TTreeSourceNode = void*;

// Bits of ITreeSource::Flags.
constexpr unsigned kTreeSourceInclude = 1;  // 0 leaves out the node and its whole subtree
constexpr unsigned kTreeSourceSearched = 2; // set together with kTreeSourceInclude

// The search dialog's view of a tree.
class ITreeSource {
public:
    virtual ~ITreeSource() = default;
    // The icons of the nodes; null for none.
    [[nodiscard]] virtual const TTreeImages* Images() const = 0;
    [[nodiscard]] virtual AnsiString Text(TTreeSourceNode node) const = 0;
    // -1 for no node.
    [[nodiscard]] virtual int ImageIndex(TTreeSourceNode node) const = 0;
    // The index-th child of parent, or the index-th top-level node when parent is null.
    [[nodiscard]] virtual TTreeSourceNode Child(TTreeSourceNode parent, int index) const = 0;
    [[nodiscard]] virtual int ChildCount(TTreeSourceNode parent) const = 0;
    [[nodiscard]] virtual unsigned Flags(TTreeSourceNode node) const = 0;
};

// One node of the search dialog's copy of the source tree; it owns its children.
class TNode {
public:
    TNode() = default;
    TNode(AnsiString text, TTreeSourceNode source, int imageIndex)
        : m_text(std::move(text)), m_source(source), m_imageIndex(imageIndex) {}
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;

    TNode& Add(AnsiString text, TTreeSourceNode source, int imageIndex);
    void Clear() { m_children.clear(); }

    [[nodiscard]] const std::vector<std::unique_ptr<TNode>>& Children() const { return m_children; }
    [[nodiscard]] const AnsiString& Text() const { return m_text; }
    [[nodiscard]] TTreeSourceNode Source() const { return m_source; }
    [[nodiscard]] int ImageIndex() const { return m_imageIndex; }
    [[nodiscard]] bool Visible() const { return m_visible; }
    [[nodiscard]] bool Match() const { return m_match; }

    // Marks every node below this one: it matches when the filter matches its text, and it is
    // visible when it matches or any of its descendants is visible. Every node is marked,
    // whatever its parent's state. True when a child is visible.
    bool Mark(const TWordsFilter& filter);

private:
    AnsiString m_text;
    TTreeSourceNode m_source = nullptr;
    int m_imageIndex = -1;
    bool m_visible = false;
    bool m_match = false;
    std::vector<std::unique_ptr<TNode>> m_children;
};

// Replaces the children of root with a copy of the source tree, in order, leaving out every
// node (with its subtree) whose flags lack kTreeSourceInclude.
void CopySourceTree(const ITreeSource& source, TNode& root);
