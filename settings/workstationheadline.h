#pragma once

#include <QString>

class TBonPrinter;

// What a settings window acts on, for its headline (a title bar may cut a long title): the
// workstation as every window names it and the printer the engine reports for it, "Rechner 3
// Kasse 3 – Drucker: Epson TM-T88 Grafikmodus". Without a printer, the workstation only.
QString workstationHeadline(int rnr, const TBonPrinter *engine);
