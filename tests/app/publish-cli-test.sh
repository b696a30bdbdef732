#!/bin/sh
# `lumavine --publish` as automation runs it: a copy of the sample project
# published to a pyftpdlib server on 127.0.0.1 through the connections file
# of an installation that the settings name. Checks the exit codes, the
# status lines, the files on the server, the log, and the messages for an
# unknown connection, a refused login and a password given on standard input.
set -eu
program="$1"
servers="$2"
sample="$3"
work="$(mktemp -d "${TMPDIR:-/tmp}/lumavine-publish-cli-XXXXXX")"
server_pid=""
tls_pid=""
cleanup() {
    for pid in $server_pid $tls_pid; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "publish test: $*" >&2; exit 1; }

mkdir -p "$work/server/pub" "$work/install" "$work/projects"
cp -r "$sample" "$work/projects/"
project="$work/projects/$(basename "$sample")"
project_file="$project/$(basename "$sample").xml"

/usr/bin/python3 "$servers/ftp_server.py" "$work/server" ann secret > "$work/port" &
server_pid=$!
tries=0
while [ ! -s "$work/port" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 200 ] || fail "the FTP server did not start"
    sleep 0.05
done
port="$(head -n 1 "$work/port")"

cat > "$work/registry.xml" <<XML
<registry><Software><Lumavine><Location>$work/install</Location><flags>0</flags></Lumavine></Software></registry>
XML
cat > "$work/install/ftp.xml" <<XML
<ftp>
<connection name="local" host="127.0.0.1" port="$port" user="ann" password="secret" root="/pub"/>
<connection name="wrong" host="127.0.0.1" port="$port" user="ann" password="guess" root="/pub"/>
<connection name="asks" host="127.0.0.1" port="$port" user="ann" password="" root="/pub"/>
</ftp>
XML
export LUMAVINE_REGISTRY="$work/registry.xml" QT_QPA_PLATFORM=offscreen
unset LUMAVINE_FTP_PASSWORD || true

publish() {
    status=0
    "$program" --publish "$project_file" "$@" > "$work/out" 2> "$work/err" < /dev/null || status=$?
}

publish --connection local
[ "$status" -eq 0 ] || fail "publishing exited $status: $(cat "$work/out" "$work/err")"
grep -qx "Publishing to 127.0.0.1" "$work/out" || fail "no start line: $(cat "$work/out")"
grep -qx "Publishing page: Welcome" "$work/out" || fail "no page line: $(cat "$work/out")"
grep -qx "Publishing directory: custom" "$work/out" || fail "no custom files: $(cat "$work/out")"
[ "$(tail -n 1 "$work/out")" = "Done publishing to 127.0.0.1" ] || fail "last line: $(tail -n 1 "$work/out")"
remote="$work/server/pub/$(basename "$sample")"
for file in Welcome.html files/lake.jpg files/garden.webm custom/story.html; do
    cmp -s "$project/content/$file" "$remote/$file" || fail "$file differs on the server"
done
[ -s "$work/install/ftplog.txt" ] || fail "no log in the installation folder"
! grep -q secret "$work/install/ftplog.txt" || fail "the password is in the log"

# Pages only.
rm -rf "$remote"
publish --connection local --no-content-files --no-custom-files
[ "$status" -eq 0 ] || fail "pages only exited $status"
[ -s "$remote/Welcome.html" ] || fail "pages only: no page"
[ ! -e "$remote/files" ] && [ ! -e "$remote/custom" ] || fail "pages only sent more than the pages"

publish --connection nowhere
[ "$status" -ne 0 ] || fail "an unknown connection succeeded"
grep -q "No FTP connection named nowhere in $work/install/ftp.xml" "$work/err" || fail "unknown: $(cat "$work/err")"

publish --connection wrong
[ "$status" -ne 0 ] || fail "a refused login succeeded"
grep -q "^Cannot connect to: 127.0.0.1:$port, 530" "$work/out" || fail "refused: $(cat "$work/out")"
grep -q "Publishing failed: Cannot connect to" "$work/err" || fail "refused: $(cat "$work/err")"

# A connection without a password: one line of standard input gives it,
# the environment variable too, and no input declines.
status=0
echo secret | "$program" --publish "$project_file" --connection asks --no-content-files > "$work/out" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "password on standard input: $(cat "$work/out")"
status=0
LUMAVINE_FTP_PASSWORD=secret "$program" --publish "$project_file" --connection asks --no-custom-files \
    > "$work/out" 2>&1 < /dev/null || status=$?
[ "$status" -eq 0 ] || fail "password in the environment: $(cat "$work/out")"
publish --connection asks
[ "$status" -ne 0 ] || fail "publishing without a password succeeded"
grep -q "Login cancelled" "$work/out" || fail "no password: $(cat "$work/out")"

# Over TLS, with only what changed sent again: an authority and a server
# certificate for 127.0.0.1 made here, a server that refuses plain text.
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj '/CN=Publish Test CA' \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
    -keyout "$work/ca.key" -out "$work/ca.pem" 2>/dev/null || fail "cannot make the test authority"
printf 'subjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' > "$work/server.ext"
openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj '/CN=127.0.0.1' \
    -keyout "$work/server.key" -out "$work/server.csr" 2>/dev/null || fail "cannot make the server key"
openssl x509 -req -days 2 -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
    -extfile "$work/server.ext" -out "$work/server.pem" 2>/dev/null || fail "cannot sign the server certificate"
mkdir -p "$work/tls-server/pub"
/usr/bin/python3 "$servers/ftps_server.py" "$work/tls-server" ann secret "$work/server.pem" "$work/server.key" \
    > "$work/tls-port" &
tls_pid=$!
tries=0
while [ ! -s "$work/tls-port" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 200 ] || fail "the FTPS server did not start"
    sleep 0.05
done
tls_port="$(head -n 1 "$work/tls-port")"
cat > "$work/install/ftp.xml" <<XML
<ftp>
<connection name="secure" host="127.0.0.1" port="$tls_port" user="ann" password="secret" root="/pub" tls="1" certificates="$work/ca.pem" incremental="1"/>
<connection name="plain" host="127.0.0.1" port="$port" user="ann" password="secret" root="/pub" tls="1" certificates="$work/ca.pem"/>
</ftp>
XML
publish --connection secure
[ "$status" -eq 0 ] || fail "publishing over TLS exited $status: $(cat "$work/out" "$work/err")"
secure="$work/tls-server/pub/$(basename "$sample")"
for file in Welcome.html files/lake.jpg files/garden.webm custom/story.html; do
    cmp -s "$project/content/$file" "$secure/$file" || fail "$file differs on the TLS server"
done
grep -q "TLS started" "$work/install/ftplog.txt" || fail "the log shows no TLS"
! grep -q "Unchanged" "$work/out" || fail "the first incremental publish skipped files"
# Nothing changed: every file is skipped, and the run still succeeds.
publish --connection secure
[ "$status" -eq 0 ] || fail "the unchanged re-publish exited $status: $(cat "$work/out" "$work/err")"
! grep -q "^Send .* file succeeded" "$work/out" || fail "the unchanged re-publish sent files: $(cat "$work/out")"
grep -q "^Unchanged html file, skipped: Welcome.html" "$work/out" || fail "no skipped page: $(cat "$work/out")"
# A server that does not offer TLS is refused, not used in plain text.
publish --connection plain
[ "$status" -ne 0 ] || fail "a server without TLS was used"
grep -q "does not offer TLS" "$work/out" || fail "no TLS refusal: $(cat "$work/out")"
echo "publish test: passed"
