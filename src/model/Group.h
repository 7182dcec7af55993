#pragma once
// TFigureGrp: a figure that owns an ordered list of member figures and acts
// towards the document as one figure; TBlock: a named group stored as a
// reusable part in block files.
//
// The group's own points are the bounding box of its members: P1 = (minX,
// minY), P2 = (maxX, minY), P3 = (maxX, maxY), P4 = (minX, maxY). A combined
// group draws its members as one path filled by the even-odd rule (members
// cut holes into each other) and is hit only inside that shape.
//
// The group record is the base record (its points are the four corners),
// then tag 20 member count, tag 90 byte 1 when combined, and one tag 150 blob
// per member holding the member's complete record. A block appends tag 180
// block name, 95 and 96 its zero origins and 25 its map scale. Reading
// holds every member as its own written record reads back (a damaged member
// record is settled that way), so a group read from any bytes writes back the
// same record after the next reading.
//
// Dissolving: Ungroup() turns the group into a dissolved one (not combined,
// deselected, FUngrouped set); the members are then handed over with
// TakeMembers(), which gives up the group's ownership, so that the document
// that puts them into its figure list owns them alone. The document does the
// insertion (and keeps the group for undo).

#include "model/DrawObjects.h"

#include <memory>
#include <vector>

// The "Maßstab anpassen" option: a new block remembers the document's scale
// (on) or 1 (off). On by default.
bool BlockAdjustScale();
void SetBlockAdjustScale(bool value);

class TFigureGrp : public TFigure {
public:
    using TFigure::TFigure;

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    // A named, initialised, empty group.
    static std::unique_ptr<TFigureGrp> Create(TLayer* layer, TFigureDocument* document, bool persistent = true);

    // Handles of the bounding box (index 1 … 8 round the box from the top left).
    static constexpr std::uint8_t kHandleKind = 6;
    static constexpr TColor kHandleRed = 0x0000FF;
    // Pop-up items, relative to FPopupTag.
    static constexpr int kItemCombine = 0;
    static constexpr int kItemUngroup = 1;
    static constexpr int kItemKeepRatio = 2;
    // How deeply groups may nest in a record being read.
    static constexpr int kMaxReadNesting = 64;

    // --- members ---
    // Appends the figure; the group owns it from now on.
    void Add(std::unique_ptr<TFigure> figure);
    int Count() const { return static_cast<int>(FMembers.size()); }
    TFigure* Member(int index) const { return FMembers.at(static_cast<std::size_t>(index)).get(); }
    // Gives up the members: the caller owns them, the group is left empty.
    std::vector<std::unique_ptr<TFigure>> TakeMembers();

    bool Combined() const { return FCombined; }
    // Stores the flag and marks every member as drawn into the path or not.
    void SetCombined(bool value);

    // Dissolves the group (see above); the members stay in the group until
    // TakeMembers hands them over.
    void Ungroup();
    bool Ungrouped() const { return FUngrouped; }
    void SetUngrouped(bool value) { FUngrouped = value; }

    // The members' box as points 1 … 4.
    void RecalcBounds();
    // Union of the members' bounds; all zero for an empty group.
    void GetMembersBounds(double& maxX, double& maxY, double& minX, double& minY) const;
    bool BoundsValid() const { return FBoundsValid; }

    // While on, reading a record refills the existing members (recursively).
    void SetReloadMode(bool value);
    bool ReloadMode() const { return FReloadMode; }

    // Blocks of that name (exact) among the members and inside member groups
    // that are not blocks themselves.
    int CountBlocks(const QString& name) const;
    // The figures to print: a combined group itself, else the members with
    // member groups replaced by their own leaves.
    void CollectLeaves(std::vector<TFigure*>& list);

    // --- virtual operations ---
    void SetInCombined(bool flag) override;
    void AddHandles() override;
    QString GetTypeName() const override;
    void ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) override;
    void Initialize() override;
    void MakeName() override;
    void GetBounds(double& maxX, double& maxY, double& minX, double& minY) const override;
    void Move(double dx, double dy) override;
    void Rotate(const TDoublePoint& centre, double angle) override;
    void Mirror(const TDoublePoint& a, const TDoublePoint& b) override;
    void Scale(const TDoublePoint& origin, double sx, double sy) override;
    void SetAttribute(int kind, int value) override;
    void SetFontAttribute(int kind, const QString& text, bool flag, int value, double size) override;
    bool HitTest(double x, double y) override;
    std::unique_ptr<TFigure> Clone() const override;
    void Draw(TFigureEngine& engine, bool grayed) override;
    void DrawDimensions(TFigureEngine& engine, bool grayed) override;
    void FreeRegion() override;
    void DrawExtras(TFigureEngine& engine) override;
    std::unique_ptr<TFigure> CreateGhost() const override;
    void GhostDrag(TModPoint* handle, double x, double y, TFigure* ghost) override;
    void ApplyDrag(TModPoint* handle, int flags, double x, double y, TFigure* ghost) override;
    void AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) override;
    void PopupItemClicked(int tag) override;
    void SaveToStream(TStream& stream) const override;
    void ReadExtra(TStream& stream) override;
    void SetProperty(const TTaggedItem& item) override;
    void CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) override;
    // A group of the members' conversions; none when no member converts.
    std::unique_ptr<TFigure> ConvertToBezier() override;

protected:
    // Member clones (members that cannot be cloned are left out).
    void CloneMembersInto(TFigureGrp& target) const;
    // Draws the members whose layer is not hidden, grayed as their layer is.
    void DrawMembers(TFigureEngine& engine);
    // Stores the box as points 1 … 4 and marks it valid.
    void StoreBounds(double maxX, double maxY, double minX, double minY);
    void InvalidateBounds() { FBoundsValid = false; }

    std::vector<std::unique_ptr<TFigure>> FMembers;
    bool FCombined = false;
    bool FBoundsValid = false;
    bool FReloadMode = false;
    int FReloadIndex = 0;
    bool FUngrouped = false;

private:
    void ReadMember(const std::vector<std::uint8_t>& record);
};

class TBlock : public TFigureGrp {
public:
    // The block starts with the document's scale.
    TBlock(TLayer* layer, TFigureDocument* document, bool persistent);

    static const TFigureClass& StaticClass();
    const TFigureClass& Class() const override;

    static std::unique_ptr<TBlock> Create(const QString& blockName, TLayer* layer, TFigureDocument* document,
                                          bool persistent = true);

    QString BlockName() const { return FBlockName; }
    // Stores the name and names the block after it.
    void SetBlockName(const QString& name);
    int MapScale() const { return FMapScale; }
    void SetMapScale(int value) { FMapScale = value; }

    QString GetTypeName() const override;
    void Initialize() override;
    void MakeName() override;
    std::unique_ptr<TFigure> Clone() const override;
    void SaveToStream(TStream& stream) const override;
    void SetProperty(const TTaggedItem& item) override;

private:
    QString FBlockName;
    std::int32_t FMapScale = 1;
};
