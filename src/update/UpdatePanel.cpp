#include "UpdatePanel.h"

#include "NewSWVersionController.h"
#include "ui_UpdatePanel.h"

UpdatePanel::UpdatePanel(const Platform& platform, const ServiceEndpoints& endpoints,
                         QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      m_ui(std::make_unique<Ui::UpdatePanel>())
{
    m_ui->setupUi(this);
    controller = new NewSWVersionController(
        {*m_ui->downloadButton, *m_ui->notNowButton, *m_ui->webViewer, *this}, platform, endpoints,
        this);
    controller->awakeFromNib();
}

UpdatePanel::~UpdatePanel() = default;
