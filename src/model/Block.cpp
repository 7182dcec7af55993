// Blocks: named groups with the scale they were made at.
#include "model/Group.h"

#include "model/FigureDocument.h"

namespace {
bool blockAdjustScale = true;

std::unique_ptr<TBlock> AsBlock(std::unique_ptr<TFigure> figure) {
    return std::unique_ptr<TBlock>(static_cast<TBlock*>(figure.release()));
}
} // namespace

bool BlockAdjustScale() {
    return blockAdjustScale;
}

void SetBlockAdjustScale(bool value) {
    blockAdjustScale = value;
}

TBlock::TBlock(TLayer* layer, TFigureDocument* document, bool persistent)
    : TFigureGrp(layer, document, persistent), FMapScale(document ? document->MapScale() : 1) {}

const TFigureClass& TBlock::StaticClass() {
    static const TFigureClass cls =
        MakeFigureClass<TBlock>(QStringLiteral("TBlock"), static_cast<int>(TShapeKind::Custom));
    return cls;
}

const TFigureClass& TBlock::Class() const {
    return StaticClass();
}

std::unique_ptr<TBlock> TBlock::Create(const QString& blockName, TLayer* layer, TFigureDocument* document,
                                       bool persistent) {
    std::unique_ptr<TBlock> block = AsBlock(NewFigure(StaticClass(), layer, document, persistent));
    block->SetBlockName(blockName);
    return block;
}

void TBlock::SetBlockName(const QString& name) {
    FBlockName = name;
    MakeName();
}

QString TBlock::GetTypeName() const {
    return QStringLiteral("Block");
}

void TBlock::Initialize() {
    TFigureGrp::Initialize();
    FMapScale = BlockAdjustScale() && FDrawing ? FDrawing->MapScale() : 1;
}

void TBlock::MakeName() {
    SetName(FBlockName + QString::number(FHandle));
    FClassName = FBlockName;
    for (const auto& member : FMembers) member->MakeName();
}

std::unique_ptr<TFigure> TBlock::Clone() const {
    std::unique_ptr<TBlock> copy = AsBlock(NewFigure(Class(), FLayer, FDrawing, true));
    CloneMembersInto(*copy);
    copy->FBlockName = FBlockName;
    copy->FClassName = FBlockName;
    copy->FMapScale = FMapScale;
    copy->FInfo = FInfo;
    copy->FDiagonal = FDiagonal;
    // The copy keeps the combined look of its source.
    copy->SetCombined(FCombined);
    copy->SetName(FBlockName + QString::number(copy->FHandle));
    return copy;
}

void TBlock::SaveToStream(TStream& stream) const {
    TFigureGrp::SaveToStream(stream);
    WriteTaggedStr(180, stream, FBlockName);
    WriteTaggedByte(95, stream, FVertZero);
    WriteTaggedByte(96, stream, FHorzZero);
    WriteTaggedInt(25, stream, FMapScale);
}

void TBlock::SetProperty(const TTaggedItem& item) {
    if (item.Kind == TTagPayload::String && item.Tag == 180) {
        FBlockName = item.AsString();
        FClassName = FBlockName;
    } else if (item.Kind == TTagPayload::Int32 && item.Tag == 25) {
        FMapScale = item.AsInt();
    } else if (item.Tag == 95 || item.Tag == 96) {
        // The stored zero origins are not applied.
    } else {
        TFigureGrp::SetProperty(item);
    }
}
