// Opening a connection has no error trap: a session string without a
// connection string, a provider that is missing or a server that refuses
// reaches the caller's trap unchanged.
#include "frame/cdatasource.h"

#include "platform/automation_error.h"

namespace orv::frame {

std::shared_ptr<platform::Connection> CDataSource::UnCommittedConnection() const {
  return OpenConnection("SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED");
}

std::shared_ptr<platform::Connection> CDataSource::Connection() const {
  return OpenConnection("SET TRANSACTION ISOLATION LEVEL READ COMMITTED");
}

std::string CDataSource::ConnectString() const { return Session().ConStr(); }

std::string CDataSource::DBMSName() const { return Session().ConDBMSName(); }

std::shared_ptr<platform::Connection> CDataSource::OpenConnection(std::string_view isolation_statement) const {
  auto connection = std::make_shared<platform::Connection>();
  connection->Open(ConnectString(), "", "", -1);
  connection->SetCursorLocation(platform::adUseClient);
  connection->SetCommandTimeout(0);
  connection->Execute(isolation_statement, -1);  // the record set it gives is of no use
  return connection;
}

const CParse& CDataSource::Session() const {
  if (!parser_) throw platform::AutomationError(91, "Orvalent", "Object variable or With block variable not set");
  return *parser_;
}

}  // namespace orv::frame
