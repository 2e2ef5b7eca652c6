#pragma once
// The start-up and reconnect loop around the ERP session: connect with the
// stored settings; on failure tell the user, show the connection window and
// try again.
class ErpSession;
class QWidget;

namespace erpui {

// Opens the session's connection from set.ini. Returns true with an open
// connection. When the user cancels the connection window the program is
// to end: the application's event loops are told to return exit code 0
// (so main unwinds and destroys its objects) and false comes back; the
// caller then stops what it was doing without touching the ERP.
bool connectSession(ErpSession& session, QWidget* owner);

// The connection window on its own (set.ini missing at start-up). False,
// with the program told to end as above, when the user pressed 按钮_取消;
// true when the window was closed otherwise.
bool editConnection(QWidget* owner);

} // namespace erpui
