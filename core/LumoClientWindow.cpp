#include "core/LumoClientWindow.h"

#include "core/FolderFile.h"
#include "core/ProjectDateEdit.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>

namespace kov {

namespace {

// By generator code; two of the captions have always lacked their closing parenthesis.
const std::array<const char*, 6> GeneratorCaptions{
    "VO120R (1 masking input, 2 paging inputs, 1 mixed output)",
    "VO120R+DAR131 (1 masking input, 2 paging inputs, 1 mixed output)",
    "DU3001 (2 masking inputs, 2 masking outputs)",
    "DA2500 (1 masking input, 1 paging input, 2 mixed outputs",
    "ZUV-AR24 (4 masking inputs, 2 paging inputs, 4 mixed outputs)",
    "RUZ1200U (1 masking input, 1 masking output",
};

}  // namespace

LumoClient::LumoClient(LumoData& d, Prompter& prompter, LumoMain* main, QWidget* parent)
    : LumoWindow(prompter, main, parent), m_data(d)
{
    setObjectName(QStringLiteral("LumoClient"));
    setWindowTitle(QStringLiteral("Project Information"));
    buildControls();
}

void LumoClient::buildControls()
{
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("TxtProjName"));
    m_name->installEventFilter(this);
    auto* nameLabel = new QLabel(QStringLiteral("Project Name"), this);
    nameLabel->setObjectName(QStringLiteral("LabProjName"));
    nameLabel->setBuddy(m_name);

    m_date = new ProjectDateEdit(this);
    m_date->setObjectName(QStringLiteral("DTPicker1"));
    m_date->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* dateLabel = new QLabel(QStringLiteral("Date"), this);
    dateLabel->setObjectName(QStringLiteral("LabDate"));
    dateLabel->setBuddy(m_date);

    auto* fields = new QFormLayout;
    fields->addRow(nameLabel, m_name);
    fields->addRow(dateLabel, m_date);

    auto* products = new QFrame(this);
    products->setObjectName(QStringLiteral("FramLumo"));
    products->setFrameShape(QFrame::StyledPanel);
    auto* productLayout = new QVBoxLayout(products);
    m_generators = new QButtonGroup(this);
    for (int i = 1; i <= 6; ++i) {
        auto* option =
            new QRadioButton(QString::fromLatin1(GeneratorCaptions[static_cast<std::size_t>(i - 1)]), products);
        option->setObjectName(QStringLiteral("OptLumo_%1").arg(i));
        m_generators->addButton(option, i);
        productLayout->addWidget(option);
    }

    // Who commissions the system is the same for every project, so it is kept with the program's settings.
    auto* installer = new QGroupBox(QStringLiteral("Installer (printed on every report)"), this);
    installer->setObjectName(QStringLiteral("FramInstaller"));
    auto* installerFields = new QFormLayout(installer);
    m_company = new QLineEdit(installer);
    m_company->setObjectName(QStringLiteral("TxtInstallerCompany"));
    m_installer = new QLineEdit(installer);
    m_installer->setObjectName(QStringLiteral("TxtInstallerName"));
    installerFields->addRow(QStringLiteral("Company"), m_company);
    installerFields->addRow(QStringLiteral("Name"), m_installer);

    auto* doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("CmdDone"));
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(doneButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(products);
    layout->addWidget(installer);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(m_name, &QLineEdit::returnPressed, this, [this] { m_date->setFocus(Qt::TabFocusReason); });
    connect(m_date, &QDateEdit::dateChanged, this, [this](QDate date) { m_edited.date = ProjectDateText(date); });
    connect(m_generators, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            m_edited.generator = static_cast<i16>(id);
    });
    connect(doneButton, &QPushButton::clicked, this, &LumoClient::done);
    connect(cancelButton, &QPushButton::clicked, this, &LumoWindow::requestCancel);
}

void LumoClient::activate()
{
    const QDate today = QDate::currentDate();
    m_edited = EditableProjectInformation(m_data, today);
    m_name->setText(m_edited.name);
    {
        // A date text older copies wrote in another form stays the edited date until the picker is changed.
        const QSignalBlocker quiet(m_date);
        const QDate stored = ProjectDate(m_edited.date);
        m_date->setDate(stored.isValid() ? stored : today);
    }
    selectGenerator(m_edited.generator);
    m_company->setText(m_data.InstallerCompany);
    m_installer->setText(m_data.InstallerName);
}

void LumoClient::selectGenerator(i16 generator)
{
    const QSignalBlocker quiet(m_generators);
    if (QAbstractButton* option = m_generators->button(generator)) {
        option->setChecked(true);
        return;
    }
    // A product this program does not know: no option shows it, and it stays unless one is chosen.
    m_generators->setExclusive(false);
    for (QAbstractButton* option : m_generators->buttons())
        option->setChecked(false);
    m_generators->setExclusive(true);
}

void LumoClient::commitName()
{
    m_edited.name = m_name->text().trimmed().toUpper();
    m_name->setText(m_edited.name);
}

bool LumoClient::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_name && event->type() == QEvent::FocusOut)
        commitName();
    return QWidget::eventFilter(watched, event);
}

void LumoClient::done()
{
    // A click that did not take the focus from the name box still means the name as it reads.
    if (m_name->hasFocus() || m_name->text() != m_edited.name)
        commitName();
    const QString error = ProjectInformationError(m_edited);
    if (!error.isEmpty()) {
        prompter().message(error, QStringLiteral("Data Error"), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    requestDone();
}

void LumoClient::apply()
{
    const QString company = m_company->text().trimmed();
    const QString name = m_installer->text().trimmed();
    if (company != m_data.InstallerCompany || name != m_data.InstallerName) {
        m_data.InstallerCompany = company;
        m_data.InstallerName = name;
        // A folder that cannot be written has its message; the names stay in use for this session's reports.
        WriteFolderFile(m_data, prompter());
    }
    StoreProjectInformation(m_data, prompter(), m_edited);
}

}  // namespace kov
