#include "model/Layer.h"

#include "model/TaggedStream.h"

TLayer::TLayer(const QString& name, TFigureEngine* engine) : Engine(engine) { SetName(name); }

void TLayer::SetName(const QString& name) { FName = name.left(kMaxNameLength); }

void TLayer::SaveToStream(TStream& stream) const {
    WriteTaggedStr(180, stream, FName);
    WriteTaggedByte(90, stream, static_cast<std::uint8_t>(State));
}

void TLayer::LoadFromStream(TStream& stream) {
    TTaggedItem item;
    while (ReadTaggedItem(stream, item)) {
        if (item.Tag == 180)
            SetName(item.AsString());
        else if (item.Tag == 90)
            State = static_cast<TLayerState>(std::min<int>(item.AsByte(), 2));
    }
}
