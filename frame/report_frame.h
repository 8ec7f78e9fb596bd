// The frame every report class shares: the three members (session parser,
// data source, open connection) in that order, InitDataEnv, the error trap of
// GetRptData that names the class in the source, and the teardown that closes
// the connection. A report class supplies only the body of GetRptData.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "frame/cdatasource.h"
#include "frame/cparse.h"
#include "platform/connection.h"
#include "platform/host_objects.h"
#include "platform/object.h"
#include "platform/recordset.h"

namespace orv::frame {

class ReportFrame : public platform::Object {
 public:
  ReportFrame(const ReportFrame&) = delete;
  ReportFrame& operator=(const ReportFrame&) = delete;
  // Runs Terminate; an error of the teardown cannot leave a destructor and is dropped.
  ~ReportFrame() override;

  // The report's rows as a record set detached from any connection. Any error
  // is raised again with its number and description and the source
  // "Orvalent.<class>.GetRptData". `dct` may be null (the client passed nothing).
  std::shared_ptr<platform::Recordset> GetRptData(std::string_view sDsn, const platform::ConditionDictionary* dct);

  // The teardown: releases the data source, then the parser, closes the
  // connection if it is open and releases it. Errors are raised again with
  // the source "Class_Terminate". Safe to call more than once.
  void Terminate();

  const std::string& ClassName() const { return class_name_; }
  // The connection of the last call (null before the first one).
  const std::shared_ptr<platform::Connection>& ActiveConnection() const { return connection_; }

 protected:
  explicit ReportFrame(std::string class_name) : class_name_(std::move(class_name)) {}

  // Replaces the three members: a new parser filled from sDsn, a new data
  // source on it and a new READ UNCOMMITTED connection, which it returns.
  // No trap of its own.
  platform::Connection& InitDataEnv(std::string_view sDsn);
  const CParse& Parser() const { return *parser_; }
  platform::Connection& ConnectionMember() const { return *connection_; }

  // The body of GetRptData, run inside its trap.
  virtual std::shared_ptr<platform::Recordset> RunReport(std::string_view sDsn,
                                                         const platform::ConditionDictionary* dct) = 0;

 private:
  std::string class_name_;
  std::shared_ptr<CParse> parser_;
  std::unique_ptr<CDataSource> data_source_;
  std::shared_ptr<platform::Connection> connection_;
};

}  // namespace orv::frame
