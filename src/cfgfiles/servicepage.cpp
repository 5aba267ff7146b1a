#include "servicepage.h"
#include "configfiles.h"
#include "filelistbox.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ServicePage::ServicePage(QWidget *parent)
    : QWidget(parent)
{
    auto *box = new QGroupBox(QStringLiteral("Konfigurační soubory"), this);
    box->setObjectName(QStringLiteral("GroupBoxSoubory"));
    box->setGeometry(8, 8, 300, 400);

    m_save = new QPushButton(QStringLiteral("Ulož aktualní stav"), box);
    m_save->setObjectName(QStringLiteral("Button24"));
    m_save->setGeometry(12, 20, 136, 26);
    m_load = new QPushButton(QStringLiteral("Načti ze souboru"), box);
    m_load->setObjectName(QStringLiteral("Button23"));
    m_load->setGeometry(152, 20, 136, 26);

    m_list = new FileListBox(box);
    m_list->setObjectName(QStringLiteral("FLB"));
    m_list->setGeometry(12, 54, 276, 334);
    // The list's mask edit: part of the list, never shown.
    m_mask = new QLineEdit(QStringLiteral("*.cfg"), box);
    m_mask->setObjectName(QStringLiteral("Edit1"));
    m_mask->hide();
    m_list->setMask(m_mask->text());

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StavSouboru"));
    m_status->setGeometry(8, 412, 610, 16);
}

void ServicePage::attach(UnitData *data, BlockDisplay *display, Prompts *prompts)
{
    m_files = new ConfigFiles(data, this, display, prompts, this);
}
