! Reads each case file of a manifest by list-directed reads of fixed target lists and writes,
! per case, the outcome of every read statement (ok, eof, err) and the targets after it.
! Reals are written as their bit patterns so that a comparison is exact.
program freeform_reference
  implicit none
  character(len=1024) :: manifest_path, out_path, case_path
  character(len=64) :: statements, piece
  character(len=8192) :: line
  integer :: ios, start, plus

  call get_command_argument(1, manifest_path)
  call get_command_argument(2, out_path)
  open(10, file=manifest_path, status='old')
  open(11, file=out_path, status='replace')
  do
    read(10, '(A)', iostat=ios) case_path
    if (ios /= 0) exit
    read(10, '(A)') statements
    open(12, file=trim(case_path), status='old')
    line = ''
    start = 1
    do
      plus = index(statements(start:), '+')
      if (plus == 0) then
        piece = statements(start:len_trim(statements))
      else
        piece = statements(start:start + plus - 2)
      end if
      call read_one(trim(piece), line, ios)
      if (ios /= 0 .or. plus == 0) exit
      start = start + plus
    end do
    close(12)
    write(11, '(A)') trim(line)
  end do
  close(11)

contains

  subroutine add_status(line, ios)
    character(len=*), intent(inout) :: line
    integer, intent(in) :: ios
    if (ios == 0) then
      line = trim(line) // ' ok'
    else if (ios < 0) then
      line = trim(line) // ' eof'
    else
      line = trim(line) // ' err'
    end if
  end subroutine add_status

  subroutine add_int(line, v)
    character(len=*), intent(inout) :: line
    integer, intent(in) :: v
    character(len=24) :: buf
    write(buf, '(I0)') v
    line = trim(line) // ' ' // trim(buf)
  end subroutine add_int

  subroutine add_real(line, v)
    character(len=*), intent(inout) :: line
    real, intent(in) :: v
    call add_int(line, transfer(v, 0))
  end subroutine add_real

  subroutine add_double(line, v)
    character(len=*), intent(inout) :: line
    double precision, intent(in) :: v
    character(len=24) :: buf
    write(buf, '(I0)') transfer(v, 0_8)
    line = trim(line) // ' ' // trim(buf)
  end subroutine add_double

  subroutine add_text(line, v)
    character(len=*), intent(inout) :: line
    character(len=*), intent(in) :: v
    line = trim(line) // ' [' // v // ']'
  end subroutine add_text

  subroutine read_one(piece, line, ios)
    character(len=*), intent(in) :: piece
    character(len=*), intent(inout) :: line
    integer, intent(out) :: ios
    real :: r(6)
    integer :: n(3), k
    double precision :: d(2)
    character(len=8) :: t(2)

    r = -777.0
    n = -777
    d = -777.0d0
    t = 'unset'
    select case (piece)
    case ('r')
      read(12, *, iostat=ios) r(1)
      call add_status(line, ios)
      call add_real(line, r(1))
    case ('rr')
      read(12, *, iostat=ios) r(1), r(2)
      call add_status(line, ios)
      do k = 1, 2
        call add_real(line, r(k))
      end do
    case ('rrrr')
      read(12, *, iostat=ios) r(1), r(2), r(3), r(4)
      call add_status(line, ios)
      do k = 1, 4
        call add_real(line, r(k))
      end do
    case ('rrrrrr')
      read(12, *, iostat=ios) r
      call add_status(line, ios)
      do k = 1, 6
        call add_real(line, r(k))
      end do
    case ('i')
      read(12, *, iostat=ios) n(1)
      call add_status(line, ios)
      call add_int(line, n(1))
    case ('ii')
      read(12, *, iostat=ios) n(1), n(2)
      call add_status(line, ios)
      do k = 1, 2
        call add_int(line, n(k))
      end do
    case ('iii')
      read(12, *, iostat=ios) n
      call add_status(line, ios)
      do k = 1, 3
        call add_int(line, n(k))
      end do
    case ('dd')
      read(12, *, iostat=ios) d
      call add_status(line, ios)
      do k = 1, 2
        call add_double(line, d(k))
      end do
    case ('a')
      read(12, *, iostat=ios) t(1)
      call add_status(line, ios)
      call add_text(line, t(1))
    case ('aa')
      read(12, *, iostat=ios) t
      call add_status(line, ios)
      do k = 1, 2
        call add_text(line, t(k))
      end do
    case ('ira')
      read(12, *, iostat=ios) n(1), r(1), t(1)
      call add_status(line, ios)
      call add_int(line, n(1))
      call add_real(line, r(1))
      call add_text(line, t(1))
    case default
      ios = 1
      line = trim(line) // ' unknown-pattern'
    end select
  end subroutine read_one

end program freeform_reference
