// The search dialog's copy of a tree: what it leaves out and how a filter marks it.
#include "addon/tree_search.h"
#include "text/words_filter.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A source over a fixed tree: node n has the text texts[n] and the children kids[n]; node 0
// stands for the top level.
class TFixedSource final : public ITreeSource {
public:
    std::map<long, AnsiString> texts;
    std::map<long, std::vector<long>> kids;
    std::map<long, unsigned> flags;

    const TTreeImages* Images() const override { return nullptr; }
    AnsiString Text(TTreeSourceNode node) const override { return texts.at(Id(node)); }
    int ImageIndex(TTreeSourceNode node) const override {
        return node ? static_cast<int>(Id(node)) : -1;
    }
    TTreeSourceNode Child(TTreeSourceNode parent, int index) const override {
        return Node(kids.at(Id(parent)).at(static_cast<std::size_t>(index)));
    }
    int ChildCount(TTreeSourceNode parent) const override {
        auto it = kids.find(Id(parent));
        return it == kids.end() ? 0 : static_cast<int>(it->second.size());
    }
    unsigned Flags(TTreeSourceNode node) const override {
        auto it = flags.find(Id(node));
        return it == flags.end() ? 3u : it->second;
    }

    static long Id(TTreeSourceNode node) { return reinterpret_cast<long>(node); }
    static TTreeSourceNode Node(long id) { return reinterpret_cast<TTreeSourceNode>(id); }
};

TEST(TreeSearch, CopyLeavesOutExcludedSubtreesAndMarkingReachesEveryNode) {
    TFixedSource source;
    // 1 Карта (2 Дороги (3 Асфальт), 4 Реки), 5 Закрытая (6 Дороги)
    source.texts = {{1, Ansi("Карта")}, {2, Ansi("Дороги")},   {3, Ansi("Асфальт")},
                    {4, Ansi("Реки")},  {5, Ansi("Закрытая")}, {6, Ansi("Дороги")}};
    source.kids = {{0, {1, 5}}, {1, {2, 4}}, {2, {3}}, {5, {6}}};
    source.flags = {{5, 0}};

    TNode root;
    CopySourceTree(source, root);
    ASSERT_EQ(root.Children().size(), 1u);
    const TNode& map = *root.Children()[0];
    EXPECT_EQ(map.Source(), TFixedSource::Node(1));
    EXPECT_EQ(map.ImageIndex(), 1);
    ASSERT_EQ(map.Children().size(), 2u);
    const TNode& roads = *map.Children()[0];
    const TNode& asphalt = *roads.Children()[0];
    const TNode& rivers = *map.Children()[1];

    TWordsFilter filter;
    filter.SetText(Ansi("асф"));
    EXPECT_TRUE(root.Mark(filter));
    EXPECT_TRUE(asphalt.Match() && asphalt.Visible());
    EXPECT_TRUE(!roads.Match() && roads.Visible());
    EXPECT_TRUE(!map.Match() && map.Visible());
    EXPECT_TRUE(!rivers.Match() && !rivers.Visible());

    // A node below a matching one is marked on its own text.
    filter.SetText(Ansi("карта"));
    root.Mark(filter);
    EXPECT_TRUE(map.Match() && map.Visible());
    EXPECT_FALSE(roads.Visible() || asphalt.Visible() || rivers.Visible());

    // Copying again starts afresh.
    source.flags.clear();
    CopySourceTree(source, root);
    EXPECT_EQ(root.Children().size(), 2u);
}

} // namespace
