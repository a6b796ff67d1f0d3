#pragma once

#include <QString>

#include <zint.h>

#include <memory>

// libzint, loaded with the first symbol drawn; most runs print none. The barcodes and the QR
// codes share it.
struct ZintLibrary
{
    decltype(&ZBarcode_Create) create = nullptr;
    decltype(&ZBarcode_Delete) remove = nullptr;
    decltype(&ZBarcode_Encode) encode = nullptr;
    decltype(&ZBarcode_Buffer_Vector) bufferVector = nullptr;
    QString error; // why it could not be used; empty when every call was found
};

const ZintLibrary &zintLibrary();

using ZintSymbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;
// A new symbol to encode; null, with *why set in German, when libzint cannot be used.
ZintSymbol newZintSymbol(QString *why);
