// What the component asks of its page host: the scripting context handed to OnStartPage and
// the five host objects taken from it. A failing call returns its failure; the entry and
// selection pages stop at the first one. On failure an out-parameter is left as it was, and
// the caller does not use it: a host object's failure is the host's own (an I/O error, or
// InvalidArgument for an index out of range or a text the host cannot hand over unchanged),
// and the component passes it on unchanged.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "contract/status.h"

namespace vorlintex::host {

// The values posted under one form field name, in the order the browser posted them.
class FormCollection {
 public:
  virtual ~FormCollection() = default;
  // Stores the number of values in *count.
  virtual Status Count(int* count) = 0;
  // Stores in *value the value at `index`, which runs from 1 to Count; InvalidArgument for
  // any other index.
  virtual Status Item(int index, std::string* value) = 0;
};

class Request {
 public:
  virtual ~Request() = default;
  // The default member: stores in *value the value of the named field, empty when the request
  // lacks it (no failure).
  virtual Status Item(std::string_view name, std::string* value) = 0;
  // The member Form, indexed by a name: stores the collection in *values, never null on
  // success.
  virtual Status Form(std::string_view name, std::shared_ptr<FormCollection>* values) = 0;
};

class Session {
 public:
  virtual ~Session() = default;
  // Stores in *value the value last stored under `name` in this user session, empty when none
  // was (no failure).
  virtual Status Item(std::string_view name, std::string* value) = 0;
  // Fails when the host keeps no session for this request.
  virtual Status SetItem(std::string_view name, std::string_view value) = 0;
};

class Response {
 public:
  virtual ~Response() = default;
  // Appends `text` to the response body exactly as passed. On failure nothing of it may have
  // been sent, or part of it: the page ends there.
  virtual Status Write(std::string_view text) = 0;
};

// Held by the component, never called.
class Application {
 public:
  virtual ~Application() = default;
};

// Held by the component, never called.
class Server {
 public:
  virtual ~Server() = default;
};

// Each getter stores the host object in *object; a host may give null for an object it does
// not have, which the component takes as a failure of the page.
class ScriptingContext {
 public:
  virtual ~ScriptingContext() = default;
  virtual Status Application(std::shared_ptr<host::Application>* object) = 0;
  virtual Status Request(std::shared_ptr<host::Request>* object) = 0;
  virtual Status Session(std::shared_ptr<host::Session>* object) = 0;
  virtual Status Response(std::shared_ptr<host::Response>* object) = 0;
  virtual Status Server(std::shared_ptr<host::Server>* object) = 0;
};

}  // namespace vorlintex::host
