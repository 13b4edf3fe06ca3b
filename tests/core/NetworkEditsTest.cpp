// Tests of the network's edits: each as the network before and after, taken back by Revert to the
// network before; changes merged and found between two networks.
#include "network/NetworkEdits.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kalvor {
namespace {

NetworkSection Section(std::string id, std::string parent, DuctShape shape = DuctShape::Rectangular,
                       std::string size = "500*300", int material = 0) {
    NetworkSection s;
    s.id = std::move(id);
    s.parent = std::move(parent);
    s.shape = shape;
    s.size = std::move(size);
    s.material = material;
    return s;
}

// 1 → 2 → 3 and 4; 1 → 5 (a round one of material 3).
Network Sample() {
    Network network;
    network.name = "П1";
    network.sections = {Section("1", ""), Section("2", "1", DuctShape::Rectangular, "500*300", 3),
                        Section("3", "2"), Section("4", "2"),
                        Section("5", "1", DuctShape::Round, "400")};
    return network;
}

struct EditCase {
    const char* name;
    std::function<Network()> before;
    std::function<NetworkChange(const Network&)> edit;
    std::function<void(Network&)> expected; // what the edit does to the network before
};

const EditCase EditCases[] = {
    {"AddHangsFromTheCurrent", Sample, [](const Network& n) { return AddNewSection(n, 1); },
     [](Network& n) { n.sections.push_back(NewSection("6", "2")); }},
    {"AddWithoutCurrentHangsFromTheRoot", Sample,
     [](const Network& n) { return AddNewSection(n, NoSection); },
     [](Network& n) { n.sections.push_back(NewSection("6", "1")); }},
    {"AddToAnEmptyNetworkIsTheRoot", [] { return Network{}; },
     [](const Network& n) { return AddNewSection(n, NoSection); },
     [](Network& n) { n.sections.push_back(NewSection("1", "")); }},
    {"InsertBesideTheCurrent", Sample, [](const Network& n) { return InsertNewSection(n, 2); },
     [](Network& n) { n.sections.insert(n.sections.begin() + 2, NewSection("6", "2")); }},
    {"InsertAboveTheRootHangsFromIt", Sample,
     [](const Network& n) { return InsertNewSection(n, 0); },
     [](Network& n) { n.sections.insert(n.sections.begin(), NewSection("6", "1")); }},
    {"DeleteRehangsTheChildren", Sample, [](const Network& n) { return DeleteSections(n, {1}); },
     [](Network& n) {
         n.sections.erase(n.sections.begin() + 1);
         n.sections[1].parent = n.sections[2].parent = "1";
     }},
    {"DeleteAChainRehangsToTheFirstThatStays", Sample,
     [](const Network& n) {
         return DeleteSections(n, {3, 1, 0, 7});
     },
     [](Network& n) {
         n.sections = {Section("3", ""), Section("5", "", DuctShape::Round, "400")};
     }},
    {"DeleteARingOfDeletedEndsTheWalk",
     [] {
         Network n;
         n.sections = {Section("a", "b"), Section("b", "a"), Section("c", "a")};
         return n;
     },
     [](const Network& n) {
         return DeleteSections(n, {0, 1});
     },
     [](Network& n) { n.sections = {Section("c", "a")}; }},
    {"MoveUp", Sample, [](const Network& n) { return MoveSection(n, 1, true); },
     [](Network& n) { std::swap(n.sections[0], n.sections[1]); }},
    {"MoveDown", Sample, [](const Network& n) { return MoveSection(n, 3, false); },
     [](Network& n) { std::swap(n.sections[3], n.sections[4]); }},
    {"MoveUpTheFirstDoesNothing", Sample, [](const Network& n) { return MoveSection(n, 0, true); },
     [](Network&) {}},
    {"MoveDownTheLastDoesNothing", Sample,
     [](const Network& n) { return MoveSection(n, 4, false); }, [](Network&) {}},
    {"RenameTakesTheChildrenAlong", Sample,
     [](const Network& n) { return RenameSection(n, 1, "20"); },
     [](Network& n) {
         n.sections[1].id = "20";
         n.sections[2].parent = n.sections[3].parent = "20";
     }},
    {"RenameOfASharedIdLeavesTheChildren",
     [] {
         Network n = Sample();
         n.sections[4].id = "2";
         return n;
     },
     [](const Network& n) { return RenameSection(n, 1, "20"); },
     [](Network& n) { n.sections[1].id = "20"; }},
    {"RenameOfASelfParentFollowsItself",
     [] {
         Network n;
         n.sections = {Section("a", "a")};
         return n;
     },
     [](const Network& n) { return RenameSection(n, 0, "b"); },
     [](Network& n) { n.sections = {Section("b", "b")}; }},
    {"RenameToTheSameIdDoesNothing", Sample,
     [](const Network& n) { return RenameSection(n, 1, "2"); }, [](Network&) {}},
    {"ParentSet", Sample, [](const Network& n) { return SetParent(n, 4, "3"); },
     [](Network& n) { n.sections[4].parent = "3"; }},
    {"ShapeKeepsAFittingSizeAndDropsAMaterialNotOffered", Sample,
     [](const Network& n) { return SetShape(n, 1, DuctShape::FlatOval); },
     [](Network& n) {
         n.sections[1].shape = DuctShape::FlatOval;
         n.sections[1].material = 0;
     }},
    {"ShapeWithASizeItCannotHaveGoesAuto", Sample,
     [](const Network& n) { return SetShape(n, 1, DuctShape::Round); },
     [](Network& n) {
         n.sections[1].shape = DuctShape::Round;
         n.sections[1].size = "auto";
     }},
    {"RoundToRectangularGoesAuto", Sample,
     [](const Network& n) { return SetShape(n, 4, DuctShape::Rectangular); },
     [](Network& n) {
         n.sections[4].shape = DuctShape::Rectangular;
         n.sections[4].size = "auto";
     }},
    {"SizeSet", Sample, [](const Network& n) { return SetSize(n, 0, "800*500"); },
     [](Network& n) { n.sections[0].size = "800*500"; }},
    {"EmptySizeIsAuto", Sample, [](const Network& n) { return SetSize(n, 0, ""); },
     [](Network& n) { n.sections[0].size = "auto"; }},
    {"MaterialSet", Sample, [](const Network& n) { return SetMaterial(n, 0, 2); },
     [](Network& n) { n.sections[0].material = 2; }},
    {"FlowSet", Sample,
     [](const Network& n) { return SetNumber(n, 2, SectionNumber::Flow, 1200.0); },
     [](Network& n) { n.sections[2].flow = 1200.0; }},
    {"LengthSet", Sample,
     [](const Network& n) { return SetNumber(n, 2, SectionNumber::Length, 12.5); },
     [](Network& n) { n.sections[2].length = 12.5; }},
    {"EmptyKmsIsZero",
     [] {
         Network n = Sample();
         n.sections[2].kms = 1.5;
         return n;
     },
     [](const Network& n) { return SetNumber(n, 2, SectionNumber::Kms, std::nullopt); },
     [](Network& n) { n.sections[2].kms = 0.0; }},
    {"OwnVmaxSet", Sample,
     [](const Network& n) { return SetNumber(n, 3, SectionNumber::Vmax, 4.0); },
     [](Network& n) { n.sections[3].Vmax = 4.0; }},
    {"EmptyVmaxIsTheNetworks",
     [] {
         Network n = Sample();
         n.sections[3].Vmax = 4.0;
         return n;
     },
     [](const Network& n) { return SetNumber(n, 3, SectionNumber::Vmax, std::nullopt); },
     [](Network& n) { n.sections[3].Vmax.reset(); }},
    {"FittingsSet", Sample,
     [](const Network& n) {
         return SetFittings(n, 0, {FittingUse{"elbow", {}, 2}});
     },
     [](Network& n) {
         n.sections[0].fittings = {FittingUse{"elbow", {}, 2}};
     }},
    {"CellOutsideTheTableDoesNothing", Sample, [](const Network& n) { return SetSize(n, 9, ""); },
     [](Network&) {}},
    {"PasteRenamesTakenIdsAndTheirBranches", Sample,
     [](const Network& n) {
         return PasteSections(n, {Section("2", "1"), Section("7", "2")}, 0);
     },
     [](Network& n) {
         n.sections.insert(n.sections.begin() + 1, {Section("8", "1"), Section("7", "8")});
     }},
    {"PasteOfARootOrAStrangerHangsFromTheCurrent", Sample,
     [](const Network& n) {
         return PasteSections(n, {Section("x", ""), Section("y", "nowhere"), Section("", "x")}, 3);
     },
     [](Network& n) {
         n.sections.insert(n.sections.begin() + 4,
                           {Section("x", "4"), Section("y", "4"), Section("6", "x")});
     }},
    {"PasteWithoutCurrentGoesToTheEndUnderTheFirst", Sample,
     [](const Network& n) { return PasteSections(n, {Section("x", "")}, NoSection); },
     [](Network& n) { n.sections.push_back(Section("x", "1")); }},
    {"PasteIntoAnEmptyNetworkKeepsItsRoot", [] { return Network{}; },
     [](const Network& n) {
         return PasteSections(n, {Section("r", ""), Section("s", "r")}, 0);
     },
     [](Network& n) {
         n.sections = {Section("r", ""), Section("s", "r")};
     }},
    {"NetworkFieldsSet", Sample,
     [](const Network& n) {
         NetworkFields fields = FieldsOf(n);
         fields.name = "П2";
         fields.air = {25.0, 990.0};
         fields.Vmax = 8.0;
         fields.tolerance = 5.0;
         fields.reserve = 20.0;
         return SetFields(n, fields);
     },
     [](Network& n) {
         n.name = "П2";
         n.air = {25.0, 990.0};
         n.Vmax = 8.0;
         n.tolerance = 5.0;
         n.reserve = 20.0;
     }},
};

class NetworkEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(NetworkEdits, ChangeAndTakeBack) {
    const EditCase& c = GetParam();
    const Network before = c.before();
    Network expected = before;
    c.expected(expected);
    const NetworkChange change = c.edit(before);
    EXPECT_EQ(change.empty(), expected == before);

    Network network = before;
    Apply(network, change);
    EXPECT_EQ(network, expected);
    Revert(network, change);
    EXPECT_EQ(network, before);
    Apply(network, change); // redo after undo
    EXPECT_EQ(network, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, NetworkEdits, ::testing::ValuesIn(EditCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What a change keeps: the sections it touched, not the network.
TEST(NetworkChange, KeepsOnlyWhatChanged) {
    Network network = Sample();
    for (int i = 0; i < 1000; ++i) {
        network.sections.push_back(Section("s" + std::to_string(i), "5"));
    }
    const NetworkChange cell = SetNumber(network, 500, SectionNumber::Flow, 10.0);
    EXPECT_EQ(cell.touched.size(), 1u);
    EXPECT_TRUE(cell.removed.empty() && cell.inserted.empty() && !cell.fieldsAfter);
    const NetworkChange gone = DeleteSections(network, {4});
    EXPECT_EQ(gone.removed.size(), 1u);
    EXPECT_EQ(gone.touched.size(), 1000u); // each re-hung to "1"
    EXPECT_EQ(gone.touched.front().after.parent, "1");
}

struct MergeCase {
    const char* name;
    std::function<NetworkChange(const Network&)> first, later; // later made after first
    bool merged;
    bool empty; // the two together change nothing
};

const MergeCase MergeCases[] = {
    {"FieldTypedTwice",
     [](const Network& n) {
         return SetFields(n, {n.name, {21.0, 1013.0}, 6, 10, 10});
     },
     [](const Network& n) {
         return SetFields(n, {n.name, {22.0, 1013.0}, 6, 10, 10});
     },
     true, false},
    {"FieldTypedBack",
     [](const Network& n) {
         return SetFields(n, {n.name, {21.0, 1013.0}, 6, 10, 10});
     },
     [](const Network& n) { return SetFields(n, FieldsOf(Sample())); }, true, true},
    {"CellsOfTwoSections", [](const Network& n) { return SetSize(n, 0, "800*500"); },
     [](const Network& n) { return RenameSection(n, 1, "20"); }, true, false},
    {"ACellAndItsUndoing", [](const Network& n) { return SetMaterial(n, 0, 2); },
     [](const Network& n) { return SetMaterial(n, 0, 0); }, true, true},
    {"AnAddIsNotMerged", [](const Network& n) { return SetMaterial(n, 0, 2); },
     [](const Network& n) { return AddNewSection(n, 0); }, false, false},
};

class NetworkChangeMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(NetworkChangeMerge, OneChangeForTwo) {
    const MergeCase& c = GetParam();
    const Network before = Sample();
    Network network = before;
    NetworkChange first = c.first(network);
    Apply(network, first);
    const NetworkChange later = c.later(network);
    Apply(network, later);
    const Network after = network;

    const NetworkChange unmerged = first;
    ASSERT_EQ(Merge(first, later), c.merged);
    if (!c.merged) {
        EXPECT_EQ(first, unmerged);
        return;
    }
    EXPECT_EQ(first.empty(), c.empty);
    EXPECT_EQ(after == before, c.empty);
    Revert(network, first);
    EXPECT_EQ(network, before);
    Apply(network, first);
    EXPECT_EQ(network, after);
}

INSTANTIATE_TEST_SUITE_P(Table, NetworkChangeMerge, ::testing::ValuesIn(MergeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct DifferenceCase {
    const char* name;
    std::function<void(Network&)> change;
    std::size_t kept; // sections held by the change, at most
};

const DifferenceCase DifferenceCases[] = {
    {"Nothing", [](Network&) {}, 0},
    {"AField", [](Network& n) { n.reserve = 30.0; }, 0},
    {"OneSection", [](Network& n) { n.sections[2].length = 3.0; }, 1},
    {"InsertedInTheMiddle",
     [](Network& n) { n.sections.insert(n.sections.begin() + 2, Section("9", "1")); }, 1},
    {"RemovedAtTheEnd", [](Network& n) { n.sections.pop_back(); }, 1},
    {"AllReplaced", [](Network& n) { n.sections = {Section("a", "")}; }, 6},
};

class NetworkDifference : public ::testing::TestWithParam<DifferenceCase> {};

TEST_P(NetworkDifference, TurnsOneIntoTheOther) {
    const Network before = Sample();
    Network after = before;
    GetParam().change(after);
    const NetworkChange change = Difference(before, after);
    EXPECT_LE(change.touched.size() + change.removed.size() + change.inserted.size(),
              GetParam().kept);
    EXPECT_EQ(change.empty(), before == after);
    Network network = before;
    Apply(network, change);
    EXPECT_EQ(network, after);
    Revert(network, change);
    EXPECT_EQ(network, before);
}

INSTANTIATE_TEST_SUITE_P(Table, NetworkDifference, ::testing::ValuesIn(DifferenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kalvor
