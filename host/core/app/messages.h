#pragma once

#include "core/base/programkey.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

// A numbered error of the message catalogue, raised by OVOInfo::FehlerRaise.
class OvoError : public std::runtime_error
{
public:
    OvoError(int number, const QString &location, const QString &text)
        : std::runtime_error(text.toStdString())
        , m_number(number)
        , m_location(location)
        , m_text(text)
    {
    }
    int number() const { return m_number; }
    QString location() const { return m_location; }
    QString text() const { return m_text; }

private:
    int m_number;
    QString m_location;
    QString m_text;
};

enum class MessageKind { Information, Warning, Question, Error };
enum class Answer { Ok, Yes, No, Cancel };

struct CatalogueMessage
{
    int number = 0;
    MessageKind kind = MessageKind::Information;
    QString text; // German, with %1, %2 for the message's parameters
};

// The host's catalogue of numbered messages of the program key "KASSOTYP".
const CatalogueMessage *catalogueMessage(int number);
QString catalogueText(int number, const QStringList &args = {});

// How messages reach a person. The widgets layer shows message boxes; tests record and
// answer in advance. Without a presenter messages are only written to the log.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual Answer present(MessageKind kind, const QString &title, const QString &text) = 0;
    // A file to open; empty when the user cancels.
    virtual QString chooseOpenFile(const QString &title, const QString &filter) = 0;
};

// Message service: shows catalogue messages, keeps the current error number, reports caught
// exceptions and writes everything it reports to a log file.
class OVOInfo
{
public:
    explicit OVOInfo(const QString &logFilePath = QString());

    void setPresenter(MessagePresenter *presenter) { m_presenter = presenter; }
    MessagePresenter *presenter() const { return m_presenter; }
    QString logFilePath() const { return m_logFilePath; }

    // Shows message `number`; a question answers Yes or No, other messages Ok.
    Answer ShowMeldung(int number, const QString &programKey = KassotypProgramKey,
                       const QStringList &args = {});
    // Shows a text that is not in the catalogue (store failures at start-up and the like).
    Answer ShowText(MessageKind kind, const QString &text);
    QString ChooseOpenFile(const QString &title, const QString &filter);

    // number 0 raises the pending error, if any; any other number becomes the current error
    // and is raised. The raised OvoError carries the catalogue text with both parameters.
    void FehlerRaise(const QString &location, int number, const QString &param1 = QString(),
                     const QString &param2 = QString(), int a = 0, int b = 0);
    // Leaves an error number for the caller to inspect or reset, without raising it.
    void SetError(int number, const QString &location, const QStringList &args = {});
    int ErrorNumber() const { return m_errorNumber; }
    QString ErrorText() const { return m_errorText; }
    void ResetErrorSpez(int number, const QString &programKey = KassotypProgramKey);

    void RegisterException(const QString &location, const std::exception &e, bool show = true);
    void FehlerTerminate(const QString &location, int number = 0, const QString &param1 = QString(),
                         const QString &param2 = QString(), int a = 0, int b = 0);

    void log(const QString &line) const;

private:
    Answer present(MessageKind kind, const QString &text);

    QString m_logFilePath;
    MessagePresenter *m_presenter = nullptr;
    int m_errorNumber = 0;
    QString m_errorText;
    QString m_errorLocation;
};
