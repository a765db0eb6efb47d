# shellcheck shell=bash
# Sourced by the signing tests: make_test_pki DIR writes a throw-away
# certificate hierarchy made with openssl, valid for two days:
#   root.crt root.key        self-signed root (the -CAfile of the checks)
#   signer.crt signer.key    code-signing certificate issued by the root
#   signer-locked.key        the same key, encrypted with the text of pass.txt
#   signer.p12               certificate, root and key, password pass.txt
#   expired.crt expired.key  code-signing certificate that expired in 2020
#   tsa.crt tsa.key          time-stamping certificate issued by the root
#   openssl.cnf              extensions and the time-stamp authority's settings

make_test_pki() {
  local dir=$1
  mkdir -p "$dir" || return 1
  (
    set -e
    cd "$dir"
    cat >openssl.cnf <<'EOF'
[req]
distinguished_name = dn
prompt = no
[dn]
CN = Throw-away Test Root
[root_ext]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[signer_ext]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tsa_ext]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[ca]
default_ca = old_ca
[old_ca]
dir = ./old-ca
database = $dir/index.txt
serial = $dir/serial
new_certs_dir = $dir
default_md = sha256
policy = any_policy
copy_extensions = none
unique_subject = no
[any_policy]
commonName = supplied
[tsa]
default_tsa = tsa_config
[tsa_config]
serial = ./tsa-serial
crypto_device = builtin
signer_digest = sha256
default_policy = 1.3.6.1.4.1.55555.1
digests = sha256, sha384, sha512, sha1
accuracy = secs:1
ordering = yes
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
EOF
    openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.crt -days 2 \
      -config openssl.cnf -extensions root_ext
    issue() {  # issue NAME SUBJECT EXTENSIONS
      openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$2"
      openssl x509 -req -in "$1.csr" -CA root.crt -CAkey root.key -CAcreateserial -days 2 \
        -out "$1.crt" -extfile openssl.cnf -extensions "$3"
    }
    issue signer "Throw-away Code Signer" signer_ext
    issue tsa "Throw-away Time-Stamp Authority" tsa_ext
    printf 'pass phrase 1\n' >pass.txt
    openssl pkey -in signer.key -aes256 -passout file:pass.txt -out signer-locked.key
    openssl pkcs12 -export -in signer.crt -inkey signer.key -certfile root.crt \
      -passout file:pass.txt -out signer.p12
    # A certificate whose validity ended long ago (openssl ca sets past dates).
    mkdir -p old-ca
    : >old-ca/index.txt
    echo 1000 >old-ca/serial
    openssl req -newkey rsa:2048 -nodes -keyout expired.key -out expired.csr -subj "/CN=Expired Code Signer"
    openssl ca -batch -config openssl.cnf -cert root.crt -keyfile root.key -in expired.csr \
      -startdate 20200101000000Z -enddate 20200201000000Z -extfile openssl.cnf -extensions signer_ext \
      -out expired.crt -notext
    echo 01 >tsa-serial
  ) >"$dir/make.log" 2>&1 || { echo "make_test_pki: openssl failed (see $dir/make.log)" >&2; return 1; }
}

# start_test_tsa DIR: starts the local RFC 3161 time-stamp server of DIR's
# authority; sets TSA_URL and TSA_PID. stop_test_tsa ends it.
start_test_tsa() {
  local dir=$1 here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  rm -f "$dir/tsa.port"
  (cd "$dir" && exec python3 "$here/tsa-server.py" --config openssl.cnf --key tsa.key --cert tsa.crt \
    --chain root.crt --port-file tsa.port) >"$dir/tsa.log" 2>&1 &
  TSA_PID=$!
  local _
  for _ in $(seq 100); do
    [ -s "$dir/tsa.port" ] && break
    kill -0 "$TSA_PID" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$dir/tsa.port" ] || { echo "start_test_tsa: the server did not start (see $dir/tsa.log)" >&2; return 1; }
  TSA_URL="http://127.0.0.1:$(cat "$dir/tsa.port")/"
}

stop_test_tsa() {
  if [ -n "${TSA_PID:-}" ]; then
    kill "$TSA_PID" 2>/dev/null
    wait "$TSA_PID" 2>/dev/null
    TSA_PID=""
  fi
}
