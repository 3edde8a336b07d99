#include "UpdateNotice.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

UpdateNotice::UpdateNotice(QWidget* window, const QString& version, const QUrl& address)
    : QFrame(window)
{
    setObjectName(QStringLiteral("UpdateNotice"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xff, 0xf8, 0xdc));
    pal.setColor(QPalette::WindowText, QColor(0x40, 0x30, 0x10));
    setPalette(pal);

    QString text = QStringLiteral("Wenquell 有新版本 %1 可用").arg(version.toHtmlEscaped());
    // A page on this machine is named by what it is, not by its file:// address.
    const QString shown =
        address.isLocalFile() ? QStringLiteral("查看详情") : address.toDisplayString();
    if (!address.isEmpty())
        text +=
            QStringLiteral("：<a href=\"%1\">%2</a>")
                .arg(QString::fromUtf8(address.toEncoded()).toHtmlEscaped(), shown.toHtmlEscaped());
    m_label = new QLabel(text, this);
    m_label->setTextFormat(Qt::RichText);
    m_label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(m_label, &QLabel::linkActivated, this,
            [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("关闭"));
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, &QObject::deleteLater);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 4, 4);
    row->addWidget(m_label);
    row->addWidget(close);
    setFocusPolicy(Qt::NoFocus);
    place();
}

QString UpdateNotice::text() const
{
    return m_label->text();
}

void UpdateNotice::place()
{
    QWidget* window = parentWidget();
    adjustSize();
    const int w = qMin(width(), window->width() - 16);
    resize(w, height());
    move(window->width() - w - 8, window->height() - height() - 8);
    raise();
}
