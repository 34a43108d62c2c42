#include "attribute_panel.h"

#include <QHeaderView>

#include <algorithm>

namespace kavrohost {

namespace {

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString Named(const std::string& name, const std::string& id) {
    return name == id ? Q(id) : Q(name) + " (" + Q(id) + ")";
}

QString ValueText(const TValueRecord& v) {
    if (v.type == "null")
        return QString::fromUtf8("(пусто)");
    return Q(v.text);
}

QString ShapeText(const TShapeRecord& shape, const TProjectCaptions& captions) {
    const TStyleCaption* style = captions.Style(shape.styleId);
    QString text = style ? Named(style->name, style->id) : Q(shape.styleId);
    std::size_t vertices = 0;
    bool closed = false;
    for (const auto& p : shape.parts) {
        vertices += p.vertices.size();
        closed = closed || (p.closed && p.vertices.size() >= 3);
    }
    const char* kind = vertices == 1 ? "точка" : closed ? "полигон" : "линия";
    text += QString::fromUtf8(", %1").arg(QString::fromUtf8(kind));
    if (vertices != 1)
        text += QString::fromUtf8(", вершин: %1").arg(vertices);
    if (shape.parts.size() > 1)
        text += QString::fromUtf8(", частей: %1").arg(shape.parts.size());
    return text;
}

} // namespace

TAttributePanel::TAttributePanel(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("AttributePanel");
    setHeaderLabels({QString::fromUtf8("Атрибут"), QString::fromUtf8("Значение")});
    setRootIsDecorated(true);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

void TAttributePanel::ShowObject(const TObjectRecord* object, const TProjectCaptions& captions) {
    clear();
    if (!object)
        return;
    auto add = [](QTreeWidgetItem* item) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        return item;
    };
    add(new QTreeWidgetItem(this, {QString::fromUtf8("Объект"), QString::number(object->id)}));
    const TLayerCaption* layer = captions.Layer(object->layerId);
    add(new QTreeWidgetItem(this, {QString::fromUtf8("Слой"),
                                   layer ? Named(layer->name, layer->id) : Q(object->layerId)}));
    int n = 0;
    for (const auto& shape : object->shapes)
        add(new QTreeWidgetItem(
            this, {QString::fromUtf8("Фигура %1").arg(++n), ShapeText(shape, captions)}));

    // Tables in the layer's order, fields in the table's order; a table the project does not
    // describe comes last under its name.
    std::vector<std::string> tables;
    if (layer)
        for (const auto& t : layer->tables)
            tables.push_back(t.name);
    for (const auto& v : object->values)
        if (std::find(tables.begin(), tables.end(), v.table) == tables.end())
            tables.push_back(v.table);
    for (const auto& tableName : tables) {
        const TTableCaption* table = captions.Table(object->layerId, tableName);
        std::vector<const TValueRecord*> values;
        for (const auto& v : object->values)
            if (v.table == tableName)
                values.push_back(&v);
        if (values.empty())
            continue;
        auto fieldOrder = [&](const TValueRecord* v) {
            if (table)
                for (std::size_t i = 0; i < table->fields.size(); ++i)
                    if (table->fields[i].name == v->field)
                        return i;
            return std::size_t(-1);
        };
        std::stable_sort(values.begin(), values.end(), [&](auto* a, auto* b) {
            return std::make_pair(a->record, fieldOrder(a)) <
                   std::make_pair(b->record, fieldOrder(b));
        });
        auto* group = add(new QTreeWidgetItem(
            this, {table ? Named(table->caption, table->name) : Q(tableName), QString()}));
        for (const TValueRecord* v : values) {
            QString caption = table ? Q(table->FieldCaption(v->field)) : Q(v->field);
            if (v->record != 0)
                caption += QString(" [%1]").arg(v->record);
            auto* item = add(new QTreeWidgetItem(group, {caption, ValueText(*v)}));
            item->setToolTip(0, Q(v->field));
        }
        group->setExpanded(true);
    }
}

} // namespace kavrohost
