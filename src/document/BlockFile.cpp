// The block operations of the drawing: writing the selection as a block file,
// inserting a block file, counting blocks and their info texts.

#include "document/BlockFile.h"

#include "document/VXDrawing.h"
#include "model/Group.h"
#include "platform/UiServices.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kCaption = QStringLiteral("Block");

// Reads a block file; none when it cannot be read or is not a block file.
std::unique_ptr<TBlock> ReadBlockFile(const QString& fileName, TLayer* layer, TFigureDocument* document) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > BlockFile::kMaxFileSize) return nullptr;
    const QByteArray content = file.readAll();
    if (!content.startsWith(BlockFile::kSignature)) return nullptr;
    TMemoryStream stream(content.constData(), static_cast<std::size_t>(content.size()));
    try {
        std::unique_ptr<TFigure> figure = TFigure::CreateFromStream(stream, layer, document, true);
        auto* block = dynamic_cast<TBlock*>(figure.get());
        if (!block) return nullptr;
        figure.release();
        return std::unique_ptr<TBlock>(block);
    } catch (const EStreamError&) {
        return nullptr;
    }
}

} // namespace

namespace BlockFile {

QString BlockNameOfFile(const QString& fileName) {
    QString name = QFileInfo(fileName).fileName();
    name.chop(4);
    return name;
}

bool IsValidBlockName(const QString& name) {
    if (name.trimmed().isEmpty() || name.contains(QStringLiteral(".."))) return false;
    for (const QChar ch : name)
        if (ch == u'/' || ch == u'\\' || ch == u':' || ch.category() == QChar::Other_Control) return false;
    return true;
}

} // namespace BlockFile

bool TVXDrawing::MakeSelectionBlock(const QString& fileName) {
    const std::vector<TFigure*> selected = SelectedFigures();
    if (selected.empty()) return false;
    const QString blockName = BlockFile::BlockNameOfFile(fileName);
    if (!BlockFile::IsValidBlockName(blockName)) {
        UiServices().MessageBox(QStringLiteral("Ungültiger Blockname: \"%1\"").arg(blockName), kCaption,
                                TMessageKind::Error);
        return false;
    }
    if (QFileInfo::exists(fileName) &&
        UiServices().Question(QStringLiteral("Die Datei \"%1\" existiert bereits. Überschreiben?").arg(fileName),
                              kCaption, TQuestionButtons::YesNo) != TAnswer::Yes)
        return false;

    // The block holds copies: the selection stays as it is in the drawing.
    std::unique_ptr<TBlock> block = TBlock::Create(blockName, selected.front()->FLayer, this, true);
    block->SetMapScale(MapScale());
    auto* group = selected.size() == 1 ? dynamic_cast<TFigureGrp*>(selected.front()) : nullptr;
    if (group) {
        for (int i = 0; i < group->Count(); ++i)
            block->Add(group->Member(i)->Clone());
        block->SetCombined(group->Combined());
    } else {
        for (TFigure* figure : selected)
            block->Add(figure->Clone());
    }
    block->RecalcBounds();
    TMemoryStream stream;
    block->SaveToStream(stream);
    try {
        stream.SaveToFile(fileName);
    } catch (const EStreamError& error) {
        UiServices().MessageBox(error.Message(), kCaption, TMessageKind::Error);
        return false;
    }
    return true;
}

TFigure* TVXDrawing::InsertBlockwithFileName(int layer, const QString& fileName, double x, double y) {
    if (!ValidLayer(layer)) layer = 0;
    std::unique_ptr<TBlock> block = ReadBlockFile(fileName, LayerAt(layer), this);
    if (!block) return nullptr;
    if (x == -1 && y == -1) {
        x = WorkWidth() / 2;
        y = WorkHeight() / 2;
    }
    double maxX = 0, maxY = 0, minX = 0, minY = 0;
    block->GetBounds(maxX, maxY, minX, minY);
    block->Move(x - (minX + maxX) / 2, y - (minY + maxY) / 2);
    block->SetName(block->BlockName() + QString::number(block->FHandle));
    TLayer* target = LayerAt(layer);
    block->FLayer = target;
    bool oneLayer = block->Count() > 0;
    for (int i = 1; i < block->Count() && oneLayer; ++i)
        oneLayer = block->Member(i)->FLayer == block->Member(0)->FLayer;
    if (oneLayer)
        for (int i = 0; i < block->Count(); ++i)
            block->Member(i)->FLayer = target;
    if (block->MapScale() > 0 && block->MapScale() != MapScale() && BlockAdjustScale()) {
        const double factor = static_cast<double>(block->MapScale()) / MapScale();
        block->Scale(DoublePoint(x, y), factor, factor);
    }
    TFigure* added = AddFigure(std::move(block), true, TInsertReason::irCreate);
    Refresh();
    return added;
}

int TVXDrawing::CountBlock(const QString& name) const {
    int count = 0;
    for (const auto& figure : FFigures) {
        if (const auto* block = dynamic_cast<const TBlock*>(figure.get())) {
            if (block->BlockName() == name) ++count;
        } else if (const auto* group = dynamic_cast<const TFigureGrp*>(figure.get())) {
            count += group->CountBlocks(name);
        }
    }
    return count;
}

void TVXDrawing::SetBlockInfo(TFigure* figure, const QString& text) {
    if (figure) figure->FInfo = text;
}
