// The transformation page that the three import wizards embed: the method, the affine chain's
// editor and the choice of the source coordinate system, over the import transformation state
// that every run prepares its point conversion from.
#pragma once

#include "coords/import_transformation.h"
#include "coords/import_transformation_setup.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class TTransformControl;

class TImportTransformationPage final : public QWidget {
public:
    explicit TImportTransformationPage(QWidget* parent = nullptr);
    ~TImportTransformationPage() override;

    // When the wizard opens: the catalog with the outside library found under the host's folder
    // + "GDAL", loaded, and the database's system, shown as the source system; in the order the
    // wizard needs. Failures of the catalog's load and of the host's calls propagate.
    void Setup(const IImportTransformationHost& host, TImportTransformationSetupOrder order);

    // Makes the reference the source system and describes it against the database's system.
    void ShowSource(const TCoordinateReferenceDef& reference);

    // What a run prepares its conversion from (PrepareImportTransformation, ConvertPoint): the
    // method chosen, the chain edited, the source and database systems and the catalog.
    TImportTransformation& Transformation() { return m_transformation; }
    const TImportTransformation& Transformation() const { return m_transformation; }
    TImportTransformationMethod Method() const { return m_transformation.Method(); }
    TTransformData& Chain() { return m_transformation.Chain(); }
    const TCoordinateReferenceDef& SourceReference() const {
        return m_transformation.SourceReference();
    }
    const TCoordinateReferenceDef& DatabaseReference() const {
        return m_transformation.DatabaseReference();
    }
    // Never null: until Setup a catalog of the module's own local zone systems.
    TCoordinateSystemCatalog& Catalog() const { return *m_catalog; }

    TTransformControl* TransformControl() const { return m_transform; }

    // Called after the method, the source system or the affine chain changed (may be empty).
    std::function<void()> onChanged;

private:
    void ReadDatabaseReference(const IImportTransformationHost& host);
    void LoadCatalog(const IImportTransformationHost& host);
    void ShowMethod(int index);
    void NotifyChanged() const;
    // "Изменить...": the coordinate system editor on the catalog and the source system; OK
    // makes its result the source system, Cancel changes nothing.
    void EditSource();

    TImportTransformation m_transformation;
    std::unique_ptr<TCoordinateSystemCatalog> m_catalog;

    QComboBox* m_methodBox;
    QStackedWidget* m_pages;
    TTransformControl* m_transform;
    QLineEdit* m_csEdit;
    QPushButton* m_csEditButton;
    QPushButton* m_csResetButton;
    QPlainTextEdit* m_csMemo;
};
