#pragma once

#include <QFrame>
#include <QUrl>

// The small notice an announced new version gets: in the bottom right corner of the window,
// over what is there, until the user closes it. It does not take the focus.
class UpdateNotice : public QFrame
{
    Q_OBJECT
public:
    UpdateNotice(QWidget* window, const QString& version, const QUrl& address);

    QString text() const;

private:
    void place();
    class QLabel* m_label;
};
