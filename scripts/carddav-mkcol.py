#!/usr/bin/python3
# Waits for a CardDAV server the tests started, then makes the address book at
# URL with an extended MKCOL. With USER:PASSWORD, asks with Basic auth.
#   carddav-mkcol.py URL [USER:PASSWORD]
import base64, sys, time, urllib.error, urllib.request
url = sys.argv[1]
headers = {"Content-Type": "application/xml"}
if len(sys.argv) > 2:
    headers["Authorization"] = "Basic " + base64.b64encode(sys.argv[2].encode()).decode()
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
