#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

ModalAnswerer::ModalAnswerer(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(2);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

void ModalAnswerer::queue_text(const QString &text)
{
    m_queue.append({Answer::Text, text});
}

void ModalAnswerer::queue_file(const QString &path)
{
    m_queue.append({Answer::File, path});
}

void ModalAnswerer::queue_cancel()
{
    m_queue.append({Answer::Cancel, QString()});
}

void ModalAnswerer::queue_button(const QString &text)
{
    m_queue.append({Answer::Button, text});
}

QStringList ModalAnswerer::titles() const
{
    QStringList list;
    for (const Seen &s : m_seen)
        list.append(s.title);
    return list;
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;

    auto *box = qobject_cast<QMessageBox *>(modal);
    auto *input = qobject_cast<QInputDialog *>(modal);
    auto *files = qobject_cast<QFileDialog *>(modal);
    if (!box && !input && !files)
        return;

    const Answer answer = m_queue.isEmpty() ? Answer{Answer::Accept, QString()} : m_queue.takeFirst();
    Seen seen;
    seen.title = modal->windowTitle();
    if (box) {
        seen.kind = QStringLiteral("QMessageBox");
        seen.text = box->text();
        seen.icon = int(box->icon());
    } else if (input) {
        seen.kind = QStringLiteral("QInputDialog");
        seen.text = input->labelText();
    } else {
        seen.kind = QStringLiteral("QFileDialog");
    }
    m_seen.append(seen);
    if (m_inspector)
        m_inspector(seen);

    // Closing the widget only ends its event loop; the code that opened it
    // goes on after this call has returned.
    if (answer.kind == Answer::Cancel) {
        static_cast<QDialog *>(modal)->reject();
    } else if (box) {
        QAbstractButton *button = box->defaultButton();
        if (answer.kind == Answer::Button) {
            for (QAbstractButton *named : box->buttons()) {
                if (named->text() == answer.value)
                    button = named;
            }
        }
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().constFirst();
        if (button)
            button->click();
        else
            box->accept();
    } else if (input) {
        if (answer.kind == Answer::Text)
            input->setTextValue(answer.value);
        input->accept();
    } else if (answer.kind == Answer::File) {
        files->selectFile(answer.value);
        static_cast<QDialog *>(files)->accept();
    } else {
        files->reject();
    }
    emit answered();
}
