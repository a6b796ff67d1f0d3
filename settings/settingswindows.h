#pragma once

// The device and page settings windows of this folder, opened by the main window and the
// general settings window.
