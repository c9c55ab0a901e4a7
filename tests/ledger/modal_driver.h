#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

// Handles modal windows as they open, one step for each new one, from a
// polling timer. A window with no step left is closed and recorded, so that
// a test never hangs on a box it did not expect.
class ModalDriver {
public:
    using Step = std::function<void(QWidget *)>;

    ModalDriver()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }

    void then(Step step) { m_steps.push_back(std::move(step)); }
    // Answers the next message box with a button, recording its text.
    void answer(QMessageBox::StandardButton button = QMessageBox::Ok)
    {
        then([this, button](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box) {
                unexpected << QStringLiteral("not a box: ") + w->metaObject()->className();
                w->close();
                return;
            }
            boxTexts << box->text();
            boxes.push_back({box->text(), box->icon(),
                             box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton});
            if (QAbstractButton *b = box->button(button))
                b->click();
            else
                box->close();
        });
    }
    bool done() const { return m_steps.empty(); }

    struct Box {
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
    };
    QStringList boxTexts;
    std::vector<Box> boxes;
    QStringList unexpected;

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        for (const QPointer<QWidget> &seen : m_handled)
            if (seen == w)
                return;
        m_handled.push_back(w);
        if (m_steps.empty()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            unexpected << (box ? box->text() : QString::fromLatin1(w->metaObject()->className()));
            w->close();
            return;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        QPointer<QWidget> window = w;
        step(w);
        // A step that failed leaves its window open: close it, so that the
        // test ends now instead of at its timeout.
        if (QTest::currentTestFailed() && window && window->isVisible())
            window->close();
    }

    std::deque<Step> m_steps;
    std::vector<QPointer<QWidget>> m_handled;
    QTimer m_timer;
};
