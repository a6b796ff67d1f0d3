#pragma once

#include "widgets/tovoform.h"

#include <QList>
#include <QSet>

class QListWidget;

// Chooses further document types that a header layout is saved for as well. The type being
// edited is always part of the choice.
class TfrmBuchenAlle : public TOVOForm
{
    Q_OBJECT
public:
    explicit TfrmBuchenAlle(QWidget *parent = nullptr);

    // Set by the caller before showing (1..23).
    void setDocumentType(int type) { m_documentType = type; }
    int documentType() const { return m_documentType; }

    void FormShow();
    void btnBuchenClick();
    void btnAbbrechenClick();
    void btnSelectAllClick();
    void btnSwitchSelectionClick();

    // The chosen document types in ascending order; empty until saved.
    QList<int> result() const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOutColumns();

    int m_documentType = 0;
    int m_rowHeight = 0;
    QSet<int> m_result;
    QListWidget *m_clbBelegtypen = nullptr;
};
