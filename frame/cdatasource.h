// The data source: hands out new connections to the session's database, set
// up for reading (READ UNCOMMITTED) or writing (READ COMMITTED), and tells the
// connection string and product name the session string gives. It keeps no
// reference to the connections: each belongs to its taker.
#pragma once

#include <memory>
#include <string>

#include "frame/cparse.h"
#include "platform/connection.h"

namespace orv::frame {

class CDataSource {
 public:
  // The session's parser; every other member reads through it and raises 91
  // while it is not set.
  const std::shared_ptr<CParse>& Parser() const { return parser_; }
  void SetParser(std::shared_ptr<CParse> parser) { parser_ = std::move(parser); }

  // A new open connection: client-side cursors, no command time-out, dirty reads.
  std::shared_ptr<platform::Connection> UnCommittedConnection() const;
  // The same with READ COMMITTED.
  std::shared_ptr<platform::Connection> Connection() const;

  std::string ConnectString() const;
  std::string DBMSName() const;  // the session string's value, not the server's

 private:
  std::shared_ptr<platform::Connection> OpenConnection(std::string_view isolation_statement) const;
  const CParse& Session() const;

  std::shared_ptr<CParse> parser_;
};

}  // namespace orv::frame
