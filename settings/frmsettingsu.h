#pragma once

#include "widgets/tovoform.h"

#include <QList>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QTabWidget;

// "Lokale Einstellungen": per-workstation print options kept as parameters of the parameter
// service (copy counts, general print options, signature-pad choices). Every option is one
// parameter key; its control is named after the key, which is the whole binding.
class TfrmSettings : public TOVOForm
{
    Q_OBJECT
public:
    // One choice of an option: the one-letter code that is stored, and the text shown.
    struct Choice
    {
        QString code;
        const char *text;
    };
    enum class Place { CopiesLeft, CopiesRight, General, Signpad };
    struct Option
    {
        QString key;
        const char *label;
        QList<Choice> choices;
        int preselected; // index of the choice shown when nothing usable is stored; -1 none
        Place place;
        // Signature-pad lists compare their code with the stored first letter exactly; the
        // plain lists compare it with the whole stored text regardless of case.
        bool signpad() const { return place == Place::Signpad; }
        QString controlName() const;
    };
    // The options in screen order, page by page.
    static const QList<Option> &options();

    explicit TfrmSettings(QWidget *parent = nullptr);
    ~TfrmSettings() override;

    int workstation() const { return m_rnr; }

    void FormCreate();
    void actF5Execute();
    void actESCExecute();

    // Each option's parameter of the workstation, read by the item its code stands for.
    QList<EditedRecord> editedRecords() override;

private:
    void buildWindow();
    QComboBox *list(const Option &option) const;
    QComboBox *list(const QString &key) const;
    // The chosen copy count of a list: its code read as a number, 0 when it is none.
    int copyCount(const QString &key) const;

    int m_rnr = 0;
    QTabWidget *m_pages = nullptr;
    QLabel *m_headline = nullptr; // names the workstation and its printer
    QCheckBox *m_chbZvt = nullptr;
};
