// The side panel of the desktop host: what the selected object is (layer, shapes) and its
// attribute values under the captions of their tables and fields.
#pragma once

#include "host/store/object_records.h"
#include "project_captions.h"

#include <QTreeWidget>

namespace kavrohost {

class TAttributePanel final : public QTreeWidget {
public:
    explicit TAttributePanel(QWidget* parent = nullptr);
    // Shows the object; nullptr empties the panel.
    void ShowObject(const TObjectRecord* object, const TProjectCaptions& captions);
};

} // namespace kavrohost
