#pragma once

#include "application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <deque>
#include <exception>
#include <functional>
#include <utility>

/// Answers modal windows (file dialog, message boxes) as they come up, in the
/// order they were expected. A timer looks for the active modal widget, so that
/// windows shown from inside exec() of another one are answered too.
class ModalAnswerer : public QObject {
public:
    using Answer = std::function<void(QWidget *)>;

    ModalAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start(10);
    }

    void expect(Answer answer) { m_answers.push_back(std::move(answer)); }
    bool done() const { return m_answers.empty(); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // The file dialog is kept between commands: mark it per answerer.
        if (!modal || m_answers.empty() || modal->property("answeredBy").toInt() == m_serial)
            return;
        modal->setProperty("answeredBy", m_serial);
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        answer(modal);
    }

    static int nextSerial()
    {
        static int serial = 0;
        return ++serial;
    }

    const int m_serial = nextSerial();
    QTimer m_timer;
    std::deque<Answer> m_answers;
};

/// What a message box showed when it was answered.
struct ShownBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QRect frame;
    int buttons = 0;
};

/// An answer that records a message box in `shown` and presses its OK button.
inline ModalAnswerer::Answer recordBox(ShownBox &shown)
{
    return [&shown](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            shown.caption = QStringLiteral("<not a message box: %1>")
                                .arg(QString::fromLatin1(modal->metaObject()->className()));
            modal->close();
            return;
        }
        shown = { box->windowTitle(), box->text(), box->icon(), box->frameGeometry(),
            static_cast<int>(box->buttons().size()) };
        box->button(QMessageBox::Ok)->click();
    };
}

/// The program's application object, watched: Qt's event handling does not
/// support exceptions, so an exception that leaves the handling of an event fails
/// the running test, however the program would have gone on.
class WatchedApplication : public VarnholtApplication {
public:
    using VarnholtApplication::VarnholtApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &error) {
            fail(error.what());
        } catch (...) {
            fail("not a std::exception");
        }
        return true;
    }

private:
    static void fail(const char *what)
    {
        const QByteArray message
            = QByteArrayLiteral("an exception left the handling of an event: ") + what;
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }
};

/// main() for a GUI test: the program's own application object, watched.
#define VARNHOLT_GUI_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        WatchedApplication app(argc, argv);                                                        \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
