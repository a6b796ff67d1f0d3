#pragma once

#include "core/model/documentdata.h"

#include <QString>

// Replaces every placeholder of the catalogue in text by its value in the document.
// Tokens that are not in the catalogue stay as typed. Amount placeholders of currency 2
// (and the name of currency 2) are filled only when secondCurrency is true; otherwise they
// print empty, as on a document without currency comparison.
QString replacePlaceholders(const QString &text, const DocumentData &document, bool secondCurrency);

// Whether the catalogue holds a value rule for the token (every catalogue token has one).
bool hasPlaceholderRule(const QString &token);

// Whether the text holds a placeholder of running text (the mail's text, a remark, a
// description, the customer's whole address, ...): a line with one is broken between words to
// the paper's width rather than run over its edge.
bool holdsRunningText(const QString &text);

// Whether the token carries a number meant to be scanned ("#BarCode#", "#BonNrBarcode#",
// "#WertBarCode#", "#FaPosBarcode#"): a line of nothing but such a token prints a barcode.
bool isBarcodePlaceholder(const QString &token);

// Whether the token carries data meant to be scanned as a QR code (the fiscal data of a
// receipt): a line of nothing but such a token prints a QR code.
bool isQrPlaceholder(const QString &token);

// Whether the token is one of the fiscal data or marks of a receipt ("#TSE-Signatur#",
// "#RKSV-QR#", "#Duplikat#", ...), which are empty where the case has none.
bool isFiscalPlaceholder(const QString &token);

// Whether a line is left out of the document: its only content is fiscal placeholders, and all
// of them are empty in the document (a failure or copy mark in the normal case).
bool leftOutWhenEmpty(const QString &text, const DocumentData &document);

// The document field a placeholder of the catalogue shows; empty for one without a field.
QString placeholderField(const QString &token);
