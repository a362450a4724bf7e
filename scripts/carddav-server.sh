# What radicale-test.sh and xandikos-test.sh share, sourced by both: a free
# port, and a server started in the background announced once it answers.

# A free high port, asked of the kernel.
free_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

# The server just started in the background (PID) kept in DIR; once it
# answers, the address book at URL made by an extended MKCOL (with Basic
# auth as USER:PASSWORD when given); then its URL kept and printed.
#   announce DIR PID URL [USER:PASSWORD]
announce() {
  echo "$2" > "$1/pid"
  /usr/bin/python3 - "$3" "$4" <<'PY'
import base64, sys, time, urllib.error, urllib.request
url, auth = sys.argv[1], sys.argv[2]
headers = {"Content-Type": "application/xml"}
if auth:
    headers["Authorization"] = "Basic " + base64.b64encode(auth.encode()).decode()
body = b"""<?xml version="1.0"?><D:mkcol xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><D:set><D:prop>
<D:resourcetype><D:collection/><C:addressbook/></D:resourcetype><D:displayname>book</D:displayname></D:prop></D:set></D:mkcol>"""
for _ in range(100):
    try:
        urllib.request.urlopen(urllib.request.Request(url, data=body, method="MKCOL", headers=headers))
        break
    except urllib.error.HTTPError as e:
        sys.exit("MKCOL: %s" % e)
    except OSError:
        time.sleep(0.1)
else:
    sys.exit("the server did not start")
PY
  echo "$3" > "$1/url"
  echo "$3"
}

#   stop_server DIR
stop_server() {
  [ -f "$1/pid" ] && kill "$(cat "$1/pid")" 2>/dev/null || true
  rm -f "$1/pid"
}
