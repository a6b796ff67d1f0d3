#pragma once

#include "widgets/placeholderpicker.h"
#include "widgets/tovoform.h"

#include <QAbstractTableModel>
#include <QPointer>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// The catalogue of placeholders as a two-column table model ("Bezeichnung", "Platzhalter").
class PlaceholderModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
};

// The placeholder picker: shown beside an editor without blocking it, it hands the chosen
// token to the editor that opened it last and hides itself.
class TfrmPlatzhalter : public TOVOForm, public PlaceholderPicker
{
    Q_OBJECT
public:
    explicit TfrmPlatzhalter(QWidget *parent = nullptr);
    ~TfrmPlatzhalter() override;
    void setVisible(bool visible) override;

    void openFor(QObject *receiver, std::function<void(const QString &)> insert) override;

    void btnAuswaehlenClick();
    void btnAbbrechenClick();
    // Starts the search, optionally with its first character.
    void startSearch(const QString &first = QString());

    // The token of the first selected row, or an empty text.
    QString chosenToken() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    void ensureBuilt();
    void attachTo(QWidget *opener);
    void placeBeside(const QWidget *opener);
    void choose(const QModelIndex &proxyIndex);
    void applySearch(const QString &text);
    bool startsSearch(const QKeyEvent *event) const;

    PlaceholderModel m_model;
    QSortFilterProxyModel *m_proxy = nullptr;
    QTableView *m_grid = nullptr;
    QLineEdit *m_search = nullptr;
    QPushButton *m_btnSearch = nullptr;
    QPointer<QObject> m_receiver;
    std::function<void(const QString &)> m_insert;
};
