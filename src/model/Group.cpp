// Groups: members, bounds, transformations, copies and the stored record.
#include "model/Group.h"

#include "model/Circle.h"
#include "model/Ellipse.h"
#include "model/FigureCopy.h"
#include "model/FigureDocument.h"
#include "model/PopupMenu.h"

#include <algorithm>
#include <limits>

namespace {
// Items after the base record.
constexpr std::uint8_t kTagCount = 20;
constexpr std::uint8_t kTagCombined = 90;
constexpr std::uint8_t kTagMember = 150;

// How many group records are being read inside each other right now.
thread_local int readNesting = 0;

class TNestingGuard {
public:
    TNestingGuard() {
        if (readNesting >= TFigureGrp::kMaxReadNesting)
            throw EReadError(QStringLiteral("Beschädigter Figurendatensatz: zu tief verschachtelte Gruppen"));
        ++readNesting;
    }
    ~TNestingGuard() { --readNesting; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;
};

std::unique_ptr<TFigureGrp> AsGroup(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<TFigureGrp>(static_cast<TFigureGrp*>(figure.release()));
}
} // namespace

// --- class ---

const TFigureClass& TFigureGrp::StaticClass() {
    static const TFigureClass cls =
        MakeFigureClass<TFigureGrp>(QStringLiteral("TFigureGrp"), static_cast<int>(TShapeKind::Custom));
    return cls;
}

const TFigureClass& TFigureGrp::Class() const {
    return StaticClass();
}

std::unique_ptr<TFigureGrp> TFigureGrp::Create(TLayer* layer, TFigureDocument* document, bool persistent) {
    return AsGroup(NewFigure(StaticClass(), layer, document, persistent));
}

void TFigureGrp::Initialize() {
    TFigure::Initialize();
    FMembers.clear();
    FCombined = false;
    FReloadMode = false;
    FReloadIndex = 0;
    FUngrouped = false;
    FBoundsValid = false;
    FPenStyle = static_cast<int>(TPenStyle::psSolid);
    FPenWidth = 1;
    FPenColor = 0;
    FBrushColor = 0xFFFFFF;
    FBrushStyle = static_cast<int>(TBrushStyle::bsSolid);
    FPoints.assign(4, TDoublePoint{});
    FPointCount = 4;
}

QString TFigureGrp::GetTypeName() const {
    return QStringLiteral("FigureGrp");
}

void TFigureGrp::MakeName() {
    TFigure::MakeName();
    for (const auto& member : FMembers) member->MakeName();
}

// --- members ---

void TFigureGrp::Add(std::unique_ptr<TFigure> figure) {
    if (!figure) return;
    FMembers.push_back(std::move(figure));
    FBoundsValid = false;
    FreeRegion();
}

std::vector<std::unique_ptr<TFigure>> TFigureGrp::TakeMembers() {
    std::vector<std::unique_ptr<TFigure>> members = std::exchange(FMembers, {});
    for (const auto& member : members) member->SetInCombined(false);
    FReloadIndex = 0;
    FBoundsValid = false;
    FreeRegion();
    return members;
}

void TFigureGrp::SetCombined(bool value) {
    FCombined = value;
    // Inside a combined group the members stay in the outer group's path.
    for (const auto& member : FMembers) member->SetInCombined(value || FInCombined);
    FreeRegion();
}

void TFigureGrp::SetInCombined(bool flag) {
    TFigure::SetInCombined(flag);
    // A combined group inside a combined group stops being combined.
    if (flag && FCombined) FCombined = false;
    for (const auto& member : FMembers) member->SetInCombined(flag || FCombined);
    FreeRegion();
}

void TFigureGrp::Ungroup() {
    SetCombined(false);
    Deselect();
    FUngrouped = true;
    FreeRegion();
}

void TFigureGrp::SetReloadMode(bool value) {
    FReloadMode = value;
    FReloadIndex = 0;
    for (const auto& member : FMembers)
        if (auto* group = dynamic_cast<TFigureGrp*>(member.get())) group->SetReloadMode(value);
}

int TFigureGrp::CountBlocks(const QString& name) const {
    int count = 0;
    for (const auto& member : FMembers) {
        if (const auto* block = dynamic_cast<const TBlock*>(member.get())) {
            if (block->BlockName() == name) ++count;
        } else if (const auto* group = dynamic_cast<const TFigureGrp*>(member.get())) {
            count += group->CountBlocks(name);
        }
    }
    return count;
}

void TFigureGrp::CollectLeaves(std::vector<TFigure*>& list) {
    if (FCombined) {
        list.push_back(this);
        return;
    }
    for (const auto& member : FMembers) {
        if (auto* group = dynamic_cast<TFigureGrp*>(member.get())) group->CollectLeaves(list);
        else list.push_back(member.get());
    }
}

// --- bounds ---

void TFigureGrp::GetMembersBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    if (FMembers.empty()) {
        maxX = maxY = minX = minY = 0;
        return;
    }
    FMembers.front()->GetBounds(maxX, maxY, minX, minY);
    for (std::size_t i = 1; i < FMembers.size(); ++i) FMembers[i]->UnionBounds(maxX, maxY, minX, minY);
}

void TFigureGrp::StoreBounds(double maxX, double maxY, double minX, double minY) {
    FPointCount = 4;
    FBoundsValid = true;
    // Refreshing the cache with the same box is no change of the group.
    if (FPoints.size() >= 4 && GetPoint(1) == DoublePoint(minX, minY) && GetPoint(2) == DoublePoint(maxX, minY) &&
        GetPoint(3) == DoublePoint(maxX, maxY) && GetPoint(4) == DoublePoint(minX, maxY))
        return;
    SetPoint(1, DoublePoint(minX, minY));
    SetPoint(2, DoublePoint(maxX, minY));
    SetPoint(3, DoublePoint(maxX, maxY));
    SetPoint(4, DoublePoint(minX, maxY));
    FBoundsValid = true;
}

void TFigureGrp::RecalcBounds() {
    double maxX, maxY, minX, minY;
    GetMembersBounds(maxX, maxY, minX, minY);
    StoreBounds(maxX, maxY, minX, minY);
}

void TFigureGrp::GetBounds(double& maxX, double& maxY, double& minX, double& minY) const {
    if (!FBoundsValid || FMembers.size() <= 4) {
        GetMembersBounds(maxX, maxY, minX, minY);
        // The corners are a cache of the members' box: keeping them current
        // changes nothing the group shows. Figures always live on the heap as
        // non-const objects.
        const_cast<TFigureGrp*>(this)->StoreBounds(maxX, maxY, minX, minY);
        return;
    }
    PointBounds(1, 4, maxX, maxY, minX, minY);
}

// --- transformations ---

void TFigureGrp::Move(double dx, double dy) {
    TFigure::Move(dx, dy);
    for (const auto& member : FMembers) member->Move(dx, dy);
    FreeRegion();
}

void TFigureGrp::Rotate(const TDoublePoint& centre, double angle) {
    TFigure::Rotate(centre, angle);
    for (const auto& member : FMembers) member->Rotate(centre, angle);
    RecalcBounds();
    FreeRegion();
}

void TFigureGrp::Mirror(const TDoublePoint& a, const TDoublePoint& b) {
    TFigure::Mirror(a, b);
    for (const auto& member : FMembers) member->Mirror(a, b);
    RecalcBounds();
    FreeRegion();
}

void TFigureGrp::Scale(const TDoublePoint& origin, double sx, double sy) {
    TFigure::Scale(origin, sx, sy);
    for (auto& member : FMembers) {
        auto* circle = dynamic_cast<TCircle*>(member.get());
        if (circle && sx != sy && FDrawing) {
            // A circle scaled unevenly becomes an ellipse at the same place in the list.
            std::unique_ptr<TEllipse> ellipse =
                TEllipse::Create(circle->FLayer, circle->FDrawing, true, circle->Centre(), circle->Radius(),
                                 circle->Radius(), 0, circle->FPenWidth, circle->FPenColor, circle->FPenStyle,
                                 circle->FBrushColor, circle->FBrushStyle);
            ellipse->SetInCombined(circle->FInCombined);
            ellipse->Scale(origin, sx, sy);
            member = std::move(ellipse);
            continue;
        }
        member->Scale(origin, sx, sy);
    }
    RecalcBounds();
    FreeRegion();
}

void TFigureGrp::ApplyZeroOrigin(TVertZero vertZero, THorzZero horzZero) {
    for (const auto& member : FMembers) member->ApplyZeroOrigin(vertZero, horzZero);
    FBoundsValid = false;
    FreeRegion();
}

void TFigureGrp::SetAttribute(int kind, int value) {
    TFigure::SetAttribute(kind, value);
    for (const auto& member : FMembers) member->SetAttribute(kind, value);
    FreeRegion();
}

void TFigureGrp::SetFontAttribute(int kind, const QString& text, bool flag, int value, double size) {
    for (const auto& member : FMembers) member->SetFontAttribute(kind, text, flag, value, size);
    // Texts may change their boxes.
    FBoundsValid = false;
    FreeRegion();
}

void TFigureGrp::FreeRegion() {
    TFigure::FreeRegion();
    for (const auto& member : FMembers) member->FreeRegion();
}

void TFigureGrp::CollectVectors(std::vector<TVectorObject>& list, const TDoublePoint& origin) {
    for (const auto& member : FMembers) member->CollectVectors(list, origin);
}

// --- copies ---

void TFigureGrp::CloneMembersInto(TFigureGrp& target) const {
    for (const auto& member : FMembers) target.Add(member->Clone());
}

std::unique_ptr<TFigure> TFigureGrp::Clone() const {
    std::unique_ptr<TFigureGrp> copy = AsGroup(NewFigure(Class(), FLayer, FDrawing, true));
    CopyFigureState(*this, *copy);
    CloneMembersInto(*copy);
    copy->SetCombined(FCombined);
    copy->RecalcBounds();
    return copy;
}

std::unique_ptr<TFigure> TFigureGrp::ConvertToBezier() {
    std::unique_ptr<TFigureGrp> converted = Create(FLayer, FDrawing, true);
    for (const auto& member : FMembers) converted->Add(member->ConvertToBezier());
    if (converted->FMembers.empty()) return nullptr;
    converted->FDiagonal = FDiagonal;
    converted->SetCombined(FCombined);
    converted->RecalcBounds();
    return converted;
}

// --- pop-up ---

void TFigureGrp::AddPopupItems(TPopupMenuBuilder& menu, int& nextTag) {
    FPopupTag = nextTag;
    menu.AddItem(QStringLiteral("Kombinieren"), FPopupTag + kItemCombine, FCombined);
    menu.AddItem(QStringLiteral("Gruppe aufheben"), FPopupTag + kItemUngroup);
    menu.AddItem(QStringLiteral("Keep Ratio"), FPopupTag + kItemKeepRatio, FDiagonal);
    nextTag += 3;
}

void TFigureGrp::PopupItemClicked(int tag) {
    switch (tag - FPopupTag) {
    case kItemCombine:
        SetCombined(!FCombined);
        break;
    case kItemUngroup:
        // The document takes the members over; without one the group only
        // marks itself dissolved and keeps them.
        if (!FDrawing || !FDrawing->DissolveGroup(this)) Ungroup();
        break;
    case kItemKeepRatio:
        FDiagonal = !FDiagonal;
        break;
    default:
        break;
    }
}

// --- persistence ---

void TFigureGrp::SaveToStream(TStream& stream) const {
    // The stored corners are the members' current box.
    double maxX, maxY, minX, minY;
    GetBounds(maxX, maxY, minX, minY);
    TFigure::SaveToStream(stream);
    WriteTaggedInt(kTagCount, stream, Count());
    if (FCombined) WriteTaggedByte(kTagCombined, stream, 1);
    for (const auto& member : FMembers) {
        TMemoryStream record;
        member->SaveToStream(record);
        WriteTaggedStream(kTagMember, stream, record);
    }
}

void TFigureGrp::ReadExtra(TStream& stream) {
    const TNestingGuard guard;
    // A record is always read whole: refilling starts at the first member.
    FReloadIndex = 0;
    TFigure::ReadExtra(stream);
    RecalcBounds();
    FreeRegion();
}

void TFigureGrp::SetProperty(const TTaggedItem& item) {
    if (item.Kind == TTagPayload::Byte && item.Tag == kTagCombined) SetCombined(item.AsByte() == 1);
    else if (item.Kind == TTagPayload::Blob && item.Tag == kTagMember) ReadMember(item.Data);
    // The member count (tag 20) is not needed: members are counted as they arrive.
}

void TFigureGrp::ReadMember(const std::vector<std::uint8_t>& record) {
    TMemoryStream stream(record);
    if (FReloadMode) {
        if (FReloadIndex >= Count())
            throw EReadError(QStringLiteral("Beschädigter Figurendatensatz: mehr Gruppenelemente als vorhanden"));
        TFigure& member = *FMembers[static_cast<std::size_t>(FReloadIndex)];
        ReadStr(stream); // the class name: the member keeps its class
        member.FLoading = true;
        member.LoadBase(stream);
        if (member.FHasDimensions) member.CreateDimensions();
        member.FLoading = false;
        ++FReloadIndex;
        member.SetInCombined(FCombined || FInCombined);
        FBoundsValid = false;
        return;
    }
    std::unique_ptr<TFigure> member = CreateFromStream(stream, FLayer, FDrawing, FPersistent);
    // A member of a class this program does not know is left out.
    if (!member) return;
    // A damaged member record can leave the member holding what it does not
    // write back (points beyond the count it states, say), so that its box
    // would change after the next save and read. Such a member is read once
    // more from the record it writes itself: the group then holds exactly what
    // reading its own record gives back, and its corners stay put. A record
    // this program wrote itself comes back unchanged and is read only once.
    // Member groups are settled already, their members having gone through
    // this themselves.
    if (!dynamic_cast<const TFigureGrp*>(member.get())) {
        TMemoryStream written;
        member->SaveToStream(written);
        if (written.Data() != record) {
            written.Seek(0);
            member = CreateFromStream(written, FLayer, FDrawing, FPersistent);
            if (!member)
                throw EReadError(
                    QStringLiteral("Beschädigter Figurendatensatz: Gruppenelement nicht lesbar"));
        }
    }
    member->SetInCombined(FCombined || FInCombined);
    FMembers.push_back(std::move(member));
    FBoundsValid = false;
}
