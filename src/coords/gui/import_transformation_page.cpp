#include "coords/gui/import_transformation_page.h"

#include "coords/gui/coordinate_system_editor.h"
#include "coords/gui/transform_control.h"
#include "platform/gui/qt_text.h"
#include "ui/user_interaction.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>

TImportTransformationPage::TImportTransformationPage(QWidget* parent)
    : QWidget(parent), m_catalog(std::make_unique<TCoordinateSystemCatalog>()) {
    m_catalog->Reload();
    m_transformation.SetCatalog(m_catalog.get());
    // A wizard opens on the local system until Setup reads the database's.
    const TCoordinateReferenceDef local = LocalCoordinateReference(LocalCoordinateSystemCaption());
    m_transformation.SetDatabaseReference(local);

    auto* layout = new QVBoxLayout(this);

    auto* methodRow = new QHBoxLayout;
    auto* methodLabel = new QLabel(QtText("Метод трансформации:"), this);
    methodLabel->setObjectName(QStringLiteral("Label11"));
    m_methodBox = new QComboBox(this);
    m_methodBox->setObjectName(QStringLiteral("TransformationTypeComboBox"));
    m_methodBox->addItem(QtText("Аффинная"));
    m_methodBox->addItem(QtText("По параметрам СК"));
    methodLabel->setBuddy(m_methodBox);
    methodRow->addWidget(methodLabel);
    methodRow->addWidget(m_methodBox);
    methodRow->addStretch(1);
    layout->addLayout(methodRow);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("TransformationTypePageControl"));
    layout->addWidget(m_pages, 1);

    auto* affineSheet = new QWidget(m_pages);
    affineSheet->setObjectName(QStringLiteral("AffineTransformationTabSheet"));
    auto* affineLayout = new QVBoxLayout(affineSheet);
    affineLayout->setContentsMargins(0, 0, 0, 0);
    m_transform = new TTransformControl(m_transformation.Chain(), affineSheet);
    m_transform->setObjectName(QStringLiteral("Transform"));
    affineLayout->addWidget(m_transform);
    m_pages->addWidget(affineSheet);
    // The chain's steps are the list's rows: a change of either is a change of the chain.
    QAbstractItemModel* steps = m_transform->List()->model();
    connect(steps, &QAbstractItemModel::rowsInserted, this, [this] { NotifyChanged(); });
    connect(steps, &QAbstractItemModel::rowsRemoved, this, [this] { NotifyChanged(); });
    connect(steps, &QAbstractItemModel::rowsMoved, this, [this] { NotifyChanged(); });
    connect(steps, &QAbstractItemModel::dataChanged, this, [this] { NotifyChanged(); });
    connect(steps, &QAbstractItemModel::modelReset, this, [this] { NotifyChanged(); });

    auto* csSheet = new QWidget(m_pages);
    csSheet->setObjectName(QStringLiteral("SCTransformationTabSheet"));
    auto* csLayout = new QVBoxLayout(csSheet);
    csLayout->setContentsMargins(0, 0, 0, 0);
    auto* csLabel = new QLabel(QtText("Исходная система координат:"), csSheet);
    csLabel->setObjectName(QStringLiteral("CsLabel"));
    csLayout->addWidget(csLabel);
    auto* csRow = new QHBoxLayout;
    m_csEdit = new QLineEdit(csSheet);
    m_csEdit->setObjectName(QStringLiteral("CsEdit"));
    m_csEdit->setReadOnly(true);
    csLabel->setBuddy(m_csEdit);
    m_csEditButton = new QPushButton(QtText("Изменить..."), csSheet);
    m_csEditButton->setObjectName(QStringLiteral("CsEditButton"));
    m_csEditButton->setAutoDefault(false);
    m_csResetButton = new QPushButton(QtText("Сбросить"), csSheet);
    m_csResetButton->setObjectName(QStringLiteral("CSResetButton"));
    m_csResetButton->setAutoDefault(false);
    csRow->addWidget(m_csEdit, 1);
    csRow->addWidget(m_csEditButton);
    csRow->addWidget(m_csResetButton);
    csLayout->addLayout(csRow);
    m_csMemo = new QPlainTextEdit(csSheet);
    m_csMemo->setObjectName(QStringLiteral("CsMemo"));
    m_csMemo->setReadOnly(true);
    m_csMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    csLayout->addWidget(m_csMemo, 1);
    m_pages->addWidget(csSheet);

    connect(m_methodBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { ShowMethod(index); });
    connect(m_csEditButton, &QPushButton::clicked, this, [this] { EditSource(); });
    connect(m_csResetButton, &QPushButton::clicked, this,
            [this] { ShowSource(m_transformation.SourceReference()); });

    m_methodBox->setCurrentIndex(0);
    ShowMethod(0);
    ShowSource(local);
}

TImportTransformationPage::~TImportTransformationPage() {
    // The wizard that listens may be half destroyed already (it owns this page): the editor's
    // list going away is no change to report.
    onChanged = nullptr;
    QObject::disconnect(m_transform->List()->model(), nullptr, this, nullptr);
    // The editor works on the chain of the state below; it goes first.
    delete m_transform;
}

void TImportTransformationPage::Setup(const IImportTransformationHost& host,
                                      TImportTransformationSetupOrder order) {
    if (order == TImportTransformationSetupOrder::CatalogFirst)
        LoadCatalog(host);
    ReadDatabaseReference(host);
    if (order == TImportTransformationSetupOrder::DatabaseReferenceFirst)
        LoadCatalog(host);
}

void TImportTransformationPage::LoadCatalog(const IImportTransformationHost& host) {
    m_catalog = CreateImportCatalog(host.ApplicationFolder());
    m_transformation.SetCatalog(m_catalog.get());
}

void TImportTransformationPage::ReadDatabaseReference(const IImportTransformationHost& host) {
    m_transformation.SetDatabaseReference(host.DatabaseReference());
    ShowSource(m_transformation.DatabaseReference());
}

void TImportTransformationPage::ShowMethod(int index) {
    m_transformation.SetMethodIndex(index);
    m_pages->setCurrentIndex(index == 1 ? 1 : 0);
    NotifyChanged();
}

void TImportTransformationPage::NotifyChanged() const {
    if (onChanged)
        onChanged();
}

void TImportTransformationPage::ShowSource(const TCoordinateReferenceDef& reference) {
    // A copy first: the reference may be the state's own source reference.
    const TCoordinateReferenceDef source = reference;
    m_transformation.SetSourceReference(source);
    m_csEdit->setText(ToQString(source.Caption));
    m_csEdit->setCursorPosition(0);
    m_csMemo->clear();
    for (const AnsiString& line :
         SourceReferenceDescription(source, m_transformation.DatabaseReference()))
        m_csMemo->appendPlainText(ToQString(line));
    m_csMemo->moveCursor(QTextCursor::Start);
    m_csMemo->ensureCursorVisible();
    NotifyChanged();
}

void TImportTransformationPage::EditSource() {
    TCoordinateReferenceDef reference = m_transformation.SourceReference();
    // The editor belongs to the wizard; the page may go with it while the editor is open.
    const QPointer<TImportTransformationPage> alive(this);
    try {
        // Undefined systems, the local one among them, are no source to choose.
        if (EditCoordinateSystem(window(), *m_catalog,
                                 TCoordinateSystemEditorConfiguration::kHideUndefined, reference) &&
            alive)
            ShowSource(reference);
    } catch (const std::exception& e) {
        UserInteraction().ShowError(ExceptionMessage(e));
    }
}
