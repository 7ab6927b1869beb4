// The host objects of one page request, as the component reaches them through its scripting
// context: the request's query and posted form fields, the user's session (started only when
// a page first stores a value), and the response body being written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contract/host.h"
#include "pagehost/form_body.h"
#include "pagehost/session_store.h"

namespace vorlintex::pagehost {

// Field names compare without regard to ASCII case, as the host's collections do. Names and
// values are as the page posted them (page_charset.h): the collections hold them in UTF-8.
class PageRequest : public host::Request {
 public:
  PageRequest(FormFields query, FormFields form);

  // The query string's value for `name`, else the posted form's; a repeated name gives its
  // values joined by ", ". Empty when neither holds the name.
  Status Item(std::string_view name, std::string* value) override;
  // The posted form's values for `name`, in posted order; the collection refers to the
  // request's fields rather than copying them (a selection may hold thousands of pages).
  Status Form(std::string_view name, std::shared_ptr<host::FormCollection>* values) override;

 private:
  FormFields query_;
  std::shared_ptr<const FormFields> form_;
};

// A session that the store starts only when a value is first stored, so requests that only
// read (every plain visit of the entry page) leave nothing behind.
class PageSession : public host::Session {
 public:
  // `existing` is the session named by the request's cookie, null when there is none.
  PageSession(SessionStore* store, std::shared_ptr<SessionValues> existing)
      : store_(store), values_(std::move(existing)) {}

  Status Item(std::string_view name, std::string* value) override;
  Status SetItem(std::string_view name, std::string_view value) override;
  // The id of the session this request started; empty when it started none.
  const std::string& started_id() const { return started_id_; }

 private:
  SessionStore* store_;
  std::shared_ptr<SessionValues> values_;
  std::string started_id_;
};

// Written in UTF-8; the page is sent in its own character set (page_charset.h).
class PageResponse : public host::Response {
 public:
  Status Write(std::string_view text) override;
  // The body as the page is sent, once the page has run.
  std::string PageBody() const;

 private:
  std::string body_;
};

class PageContext : public host::ScriptingContext {
 public:
  PageContext(std::shared_ptr<host::Request> request, std::shared_ptr<host::Session> session,
              std::shared_ptr<PageResponse> response)
      : request_(std::move(request)),
        session_(std::move(session)),
        response_(std::move(response)) {}

  Status Application(std::shared_ptr<host::Application>* object) override;
  Status Request(std::shared_ptr<host::Request>* object) override;
  Status Session(std::shared_ptr<host::Session>* object) override;
  Status Response(std::shared_ptr<host::Response>* object) override;
  Status Server(std::shared_ptr<host::Server>* object) override;

 private:
  std::shared_ptr<host::Application> application_ = std::make_shared<host::Application>();
  std::shared_ptr<host::Request> request_;
  std::shared_ptr<host::Session> session_;
  std::shared_ptr<PageResponse> response_;
  std::shared_ptr<host::Server> server_ = std::make_shared<host::Server>();
};

}  // namespace vorlintex::pagehost
